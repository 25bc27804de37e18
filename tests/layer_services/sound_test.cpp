// PlaySoundA: finding and decoding, the refusal of silent drivers, and real
// playback into a PulseAudio null sink recorded with parec.
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"
#include "tests/layer_services/wave.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <math.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

const DWORD cueFlags = SND_RESOURCE | SND_ASYNC | SND_NODEFAULT;

class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name)
    {
        const char* old = getenv(name);
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar()
    {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

class Sound : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32test::AddResource("WAVE", "TESTTONE", wavetest::SineWave(440, 0.4, 22050, 1));
        w32test::AddResource("WAVE", "TESTLONG", wavetest::SineWave(440, 2.0, 22050, 1));
        w32test::AddResource("WAVE", "TESTHIGH", wavetest::SineWave(1760, 0.5, 44100, 2));
        w32test::AddResource("WAVE", "#7", wavetest::SineWave(440, 0.1, 8000, 1));
        w32test::AddResource("WAVE", "QUIET", wavetest::SineWave(0, 0.2, 44100, 2));
        w32test::AddResource("WAVE", "BROKEN", {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'A', 'V', 'E', 'x'});
        w32test::ClearSoundCalls();
    }
    void TearDown() override
    {
        w32test::SetSoundOutcome(w32test::SoundOutcome::Real);
        w32test::CloseSoundDevice();
        w32test::ResetResources();
        w32test::UnregisterAllModules();
    }
};

TEST_F(Sound, FindsAndDecodesEachSound)
{
    w32test::SetSoundOutcome(w32test::SoundOutcome::FakeDevice);
    w32test::RegisterModule("IMM32.DLL", {});
    HMODULE self = GetModuleHandleA(nullptr);
    HMODULE other = LoadLibraryA("IMM32.DLL");
    std::vector<unsigned char> image = wavetest::SineWave(440, 0.1, 8000, 1);
    const char* memory = reinterpret_cast<const char*>(image.data());
    const struct {
        LPCSTR sound;
        HMODULE module;
        DWORD flags;
        const char* what;
        BOOL result;
        const char* playing;
    } cases[] = {
        {"TESTTONE", self, cueFlags, "TESTTONE", TRUE, "TESTTONE"},
        {"testhigh", self, cueFlags, "testhigh", TRUE, "testhigh"},
        {"TESTTONE", nullptr, cueFlags, "TESTTONE", TRUE, "TESTTONE"},
        {MAKEINTRESOURCEA(7), self, cueFlags, "#7", TRUE, "#7"},
        {"NOSUCH", self, cueFlags, "NOSUCH", FALSE, "#7"},
        {"BROKEN", self, cueFlags, "BROKEN", FALSE, "#7"},
        {"TESTTONE", other, cueFlags, "TESTTONE", FALSE, "#7"},
        {"TESTTONE", self, SND_ASYNC | SND_NODEFAULT, "TESTTONE", FALSE, "#7"},  // no file of that name
        {memory, nullptr, SND_MEMORY | SND_ASYNC, "<memory>", TRUE, "<memory>"},
        {nullptr, nullptr, 0, "", TRUE, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, PlaySoundA(c.sound, c.module, c.flags));
        EXPECT_EQ(c.playing, w32test::SoundPlaying());
    }
    EXPECT_EQ("", w32test::SoundDriver()) << "a fake device opens nothing";
}

// Without a real output the call fails, and it never settles for SDL's
// silent drivers even when they are asked for by name.
TEST_F(Sound, NoRealDeviceMeansFailure)
{
    EnvVar noServer("PULSE_SERVER", "unix:/nonexistent/brackwold-no-server");
    EnvVar noRuntime("XDG_RUNTIME_DIR", "/nonexistent/brackwold-no-runtime");
    std::vector<const char*> drivers = {"dummy", "disk", "nosuchdriver"};
    struct stat info;
    if (stat("/dev/snd", &info) != 0)
        drivers.push_back("alsa");  // no sound card on this machine
    for (const char* driver : drivers) {
        EnvVar choice("SDL_AUDIODRIVER", driver);
        EXPECT_FALSE(PlaySoundA("TESTTONE", GetModuleHandleA(nullptr), cueFlags)) << driver;
        EXPECT_EQ("", w32test::SoundDriver()) << driver;
        EXPECT_EQ("", w32test::SoundPlaying()) << driver;
    }
    EXPECT_FALSE(PlaySoundA("NOSUCH", GetModuleHandleA(nullptr), cueFlags));
}

// Where a host passes no XDG_RUNTIME_DIR, the sound server is looked for in
// /run/user/<uid> only when that is the user's own private folder.
TEST(RuntimeFolder, OnlyAPrivateFolderOfTheUsersOwnWillDo)
{
    char pattern[] = "/tmp/brkw-runtime.XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    const std::string top = pattern, own = top + "/own";
    const struct { const char* name; mode_t mode; bool taken; } cases[] = {  // mode 0: no folder made
        {"own", 0700, true}, {"open", 0755, false}, {"sticky", 01700, false}, {"shut", 0500, false},
        {"link", 0, false}, {"file", 0, false}, {"missing", 0, false}};
    for (const auto& c : cases)
        ASSERT_TRUE(!c.mode || (mkdir((top + "/" + c.name).c_str(), 0700) == 0 && chmod((top + "/" + c.name).c_str(), c.mode) == 0)) << c.name;
    ASSERT_EQ(0, symlink(own.c_str(), (top + "/link").c_str()));
    close(open((top + "/file").c_str(), O_CREAT | O_WRONLY, 0700));
    for (const auto& c : cases)
        EXPECT_EQ(c.taken, w32::IsPrivateFolder((top + "/" + c.name).c_str())) << c.name;
    if (geteuid() == 0 && chown(own.c_str(), 65534, 65534) == 0)
        EXPECT_FALSE(w32::IsPrivateFolder(own.c_str())) << "another user's";
    EXPECT_EQ(0, system(("rm -rf '" + top + "'").c_str()));
}

// --- A real sound server -------------------------------------------------

bool OnPath(const char* program)
{
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return system(command.c_str()) == 0;
}

// A PulseAudio server of our own, in a fresh runtime folder, with a null
// sink whose monitor parec records as 16-bit stereo at 44.1 kHz.
class PulseServer {
public:
    bool Start()
    {
        char pattern[] = "/tmp/brkw-pulse.XXXXXX";
        if (!mkdtemp(pattern))
            return false;
        runtime_ = pattern;
        chmod(runtime_.c_str(), 0700);
        runtimeEnv_.reset(new EnvVar("XDG_RUNTIME_DIR", runtime_.c_str()));
        serverEnv_.reset(new EnvVar("PULSE_SERVER", nullptr));
        driverEnv_.reset(new EnvVar("SDL_AUDIODRIVER", nullptr));
        std::string start =
            "pulseaudio -D -n --exit-idle-time=-1 --load=\"module-null-sink sink_name=nul\" "
            "--load=module-native-protocol-unix >'" + runtime_ + "/pulse.log' 2>&1";
        if (system(start.c_str()) != 0)
            return false;
        started_ = true;
        for (int i = 0; i < 100; ++i) {
            if (system("pactl info >/dev/null 2>&1") == 0)
                return WarmUp();
            usleep(50000);
        }
        return false;
    }

    // A fresh null sink renders its first block at its full default latency
    // (2 s) before it follows a client's low latency: play silence through
    // our device until it has been taken, so that what follows plays at once.
    bool WarmUp()
    {
        if (!PlaySoundA("QUIET", nullptr, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT))
            return false;
        for (int i = 0; i < 200 && w32test::SoundPlaying() != ""; ++i)
            usleep(50000);
        w32test::ClearSoundCalls();
        return w32test::SoundPlaying() == "";
    }

    bool StartRecording()
    {
        recording_ = runtime_ + "/capture.raw";
        recorder_ = fork();
        if (recorder_ == 0) {
            int out = open(recording_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(out, 1);
            execlp("parec", "parec", "-d", "nul.monitor", "--raw", "--format=s16le", "--rate=44100",
                   "--channels=2", "--latency-msec=20", static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(500000);  // let parec connect before anything plays
        return recorder_ > 0;
    }

    // Left channel of what was recorded.
    std::vector<int16_t> StopRecording()
    {
        usleep(300000);
        if (recorder_ > 0) {
            kill(recorder_, SIGINT);
            waitpid(recorder_, nullptr, 0);
            recorder_ = -1;
        }
        std::ifstream in(recording_, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> left;
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
            left.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
        return left;
    }

    ~PulseServer()
    {
        if (recorder_ > 0) {
            kill(recorder_, SIGKILL);
            waitpid(recorder_, nullptr, 0);
        }
        w32test::CloseSoundDevice();
        if (started_ && system("pulseaudio -k >/dev/null 2>&1") != 0)
            ADD_FAILURE() << "pulseaudio -k failed";
        // -k only signals: let the server remove its files before we do.
        struct stat info;
        std::string pidFile = runtime_ + "/pulse/pid";
        for (int i = 0; i < 100 && started_ && stat(pidFile.c_str(), &info) == 0; ++i)
            usleep(50000);
        if (!runtime_.empty() && system(("rm -rf '" + runtime_ + "'").c_str()) != 0)
            ADD_FAILURE() << "could not remove " << runtime_;
    }

private:
    std::string runtime_, recording_;
    std::unique_ptr<EnvVar> runtimeEnv_, serverEnv_, driverEnv_;
    bool started_ = false;
    pid_t recorder_ = -1;
};

struct Span {
    double start = 0, seconds = 0, frequency = 0;  // seconds from the start of the recording
};

// The stretch of loud samples between `from` and `to` seconds, with its
// pitch from the zero crossings.
Span Loud(const std::vector<int16_t>& samples, double from, double to)
{
    const int rate = 44100;
    size_t first = 0, last = 0;
    bool any = false;
    for (size_t i = static_cast<size_t>(std::max(from, 0.0) * rate); i < samples.size() && i < to * rate; ++i)
        if (abs(samples[i]) > 2000) {
            if (!any)
                first = i;
            last = i;
            any = true;
        }
    Span span;
    if (!any)
        return span;
    int crossings = 0;
    for (size_t i = first + 1; i <= last; ++i)
        if ((samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    span.start = static_cast<double>(first) / rate;
    span.seconds = static_cast<double>(last - first) / rate;
    span.frequency = span.seconds > 0 ? crossings / 2.0 / span.seconds : 0;
    return span;
}

TEST_F(Sound, PlaysIntoARealServer)
{
    if (!OnPath("pulseaudio") || !OnPath("parec") || !OnPath("pactl"))
        GTEST_SKIP() << "PulseAudio is not installed";
    PulseServer server;
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(server.StartRecording());

    ASSERT_TRUE(PlaySoundA("TESTTONE", GetModuleHandleA(nullptr), cueFlags));
    std::string driver = w32test::SoundDriver();
    EXPECT_NE("", driver);
    EXPECT_NE("dummy", driver);
    EXPECT_NE("disk", driver);
    EXPECT_EQ("TESTTONE", w32test::SoundPlaying()) << "returned while the sound plays";
    usleep(900000);
    EXPECT_EQ("", w32test::SoundPlaying());

    std::vector<int16_t> samples = server.StopRecording();
    Span tone = Loud(samples, 0, 1e9);
    EXPECT_NEAR(0.4, tone.seconds, 0.1);
    EXPECT_NEAR(440, tone.frequency, 30);
}

TEST_F(Sound, ANewSoundReplacesThePlayingOne)
{
    if (!OnPath("pulseaudio") || !OnPath("parec") || !OnPath("pactl"))
        GTEST_SKIP() << "PulseAudio is not installed";
    PulseServer server;
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(server.StartRecording());

    ASSERT_TRUE(PlaySoundA("TESTLONG", GetModuleHandleA(nullptr), cueFlags));
    usleep(400000);
    ASSERT_TRUE(PlaySoundA("TESTHIGH", GetModuleHandleA(nullptr), cueFlags));
    EXPECT_EQ("TESTHIGH", w32test::SoundPlaying());
    usleep(1000000);
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));

    std::vector<int16_t> samples = server.StopRecording();
    Span all = Loud(samples, 0, 1e9);
    EXPECT_LT(all.seconds, 1.4) << "the 2-second tone was cut short";
    Span end = Loud(samples, all.start + all.seconds - 0.3, all.start + all.seconds + 0.01);
    EXPECT_NEAR(1760, end.frequency, 120) << "the second sound is the one heard last";
    Span begin = Loud(samples, all.start, all.start + 0.2);
    EXPECT_NEAR(440, begin.frequency, 30);
}

}  // namespace
