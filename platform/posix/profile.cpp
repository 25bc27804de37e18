// Private-profile (INI) files with Win32's reading rules. The file is read
// anew at every call and written whole through a temporary file and a
// rename, so a crash leaves either the old or the new file, never half of
// one (and the next write removes what a killed one left). Lines we do not
// understand are kept as they are. The file is held once, as read, and its
// lines are looked at in place: a file of millions of lines costs its own
// size and no more.
#include "platform/posix/sys_internal.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

const size_t maxProfileSize = 16u << 20;  // larger files are not settings: leave them alone
const char utf8Mark[] = "\xEF\xBB\xBF";

enum class LineKind { Blank, Comment, Section, Key };

// Views into the file's bytes.
struct Line {
    LineKind kind;
    std::string_view name;  // section or key name, trimmed
    std::string_view value;  // the key's value, trimmed
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// A line without "=" is a key without a value, as Win32 reads it; a "["
// without "]" is neither section nor key and is only carried along.
Line Classify(std::string_view raw)
{
    std::string_view text = Trim(raw);
    if (text.empty())
        return {LineKind::Blank, {}, {}};
    if (text[0] == ';')
        return {LineKind::Comment, {}, {}};
    if (text[0] == '[') {
        size_t close = text.find(']');
        if (close == std::string_view::npos)
            return {LineKind::Comment, {}, {}};
        return {LineKind::Section, Trim(text.substr(1, close - 1)), {}};
    }
    size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {LineKind::Key, text, {}};
    return {LineKind::Key, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// A file's bytes seen as lines: the byte-order mark and the line end are
// kept for the writer, the lines are found one at a time.
struct Text {
    std::string_view mark;  // a leading UTF-8 byte-order mark, kept on write
    std::string_view body;
    std::string_view lineEnd = "\n";  // the file's own, so a CRLF file stays CRLF
};

// "CR LF", "LF" and a lone "CR" all end a line; the first one seen becomes
// the file's line end.
Text SplitText(std::string_view bytes)
{
    Text text;
    if (bytes.substr(0, 3) == utf8Mark) {
        text.mark = bytes.substr(0, 3);
        bytes.remove_prefix(3);
    }
    text.body = bytes;
    size_t end = bytes.find_first_of("\r\n");
    if (end != std::string_view::npos)
        text.lineEnd = bytes.substr(end, bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    return text;
}

// The lines of a body in order; a last line without an end counts only
// when it is not empty.
class LineReader {
public:
    explicit LineReader(std::string_view body) : body(body) {}

    bool Next(std::string_view* line)
    {
        if (at >= body.size())
            return false;
        size_t end = at;
        while (end < body.size() && body[end] != '\r' && body[end] != '\n')
            ++end;
        *line = body.substr(at, end - at);
        at = end + (body.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        return true;
    }

    // Passes over empty lines at once, for a reader that would ignore them.
    void SkipEmptyLines()
    {
        while (at < body.size() && (body[at] == '\r' || body[at] == '\n'))
            ++at;
    }

private:
    std::string_view body;
    size_t at = 0;
};

// HOME when it names a folder, else the password database's entry for our
// user; "" when neither does, which is said once on stderr: settings then
// read as their defaults and cannot be saved, rather than land under "/".
std::string HomeDirectory()
{
    const char* home = getenv("HOME");
    if (home && home[0] == '/')
        return home;
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 4096);
    struct passwd entry, *found = nullptr;
    while (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (found && found->pw_dir && found->pw_dir[0] == '/')
        return found->pw_dir;
    static bool told = false;
    if (!told) {
        fprintf(stderr, "no home folder: HOME names none and user %u has no password entry; settings cannot be saved\n",
                static_cast<unsigned>(getuid()));
        told = true;
    }
    return "";
}

// Where a bare profile name lives, as Windows' own folder is for Win32: our
// folder under the user's configuration directory (which must be absolute
// to count, as XDG says); "" when the user has no home to hold it.
std::string ProfileFolder()
{
    const char* config = getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/brackwold";
    std::string home = HomeDirectory();
    return home.empty() ? "" : home + "/.config/brackwold";
}

// A name with a slash is a path and is used as given. No name means
// "win.ini", as Win32. "" when a bare name has no folder to live in.
std::string ProfilePath(LPCSTR fileName)
{
    std::string name = fileName && *fileName ? fileName : "win.ini";
    if (name.find('/') != std::string::npos)
        return name;
    std::string folder = ProfileFolder();
    return folder.empty() ? "" : folder + "/" + name;
}

enum class ReadResult { Read, Missing, Failed };

// Only a regular file is read; a folder, a device or a pipe is a failure
// (opened without blocking, so a pipe cannot hang us).
ReadResult ReadFile(const std::string& path, std::string* bytes)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    struct stat info;
    bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!regular || static_cast<size_t>(info.st_size) > maxProfileSize) {
        errno = regular ? EFBIG : EACCES;
        close(fd);
        return ReadResult::Failed;
    }
    bytes->clear();
    bytes->reserve(static_cast<size_t>(info.st_size));  // read in place, without the doubling of a growing string
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes->size() + static_cast<size_t>(got) > maxProfileSize) {
            if (got >= 0)
                errno = EFBIG;  // grown since fstat
            close(fd);
            return ReadResult::Failed;
        }
        if (got == 0)
            break;
        bytes->append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return ReadResult::Read;
}

// The value of the first matching key in the first section of that name,
// as Windows looks it up (a later section of the same name is never read);
// false when there is none.
bool FindValue(std::string_view body, std::string_view section, std::string_view key, std::string_view* value)
{
    bool inSection = false;
    LineReader lines(body);
    std::string_view raw;
    while (lines.SkipEmptyLines(), lines.Next(&raw)) {
        Line line = Classify(raw);
        if (line.kind == LineKind::Section) {
            if (inSection)
                return false;
            inSection = w32::EqualNoCase(line.name, section);
        } else if (inSection && line.kind == LineKind::Key && w32::EqualNoCase(line.name, key)) {
            *value = line.value;
            return true;
        }
    }
    return false;
}

// Win32 drops one pair of matching quotes around a value.
std::string_view Unquote(std::string_view value)
{
    size_t n = value.size();
    if (n >= 2 && (value[0] == '"' || value[0] == '\'') && value[n - 1] == value[0])
        return value.substr(1, n - 2);
    return value;
}

// Windows reads the number as RtlUnicodeStringToInteger does with base 0:
// leading blanks and control characters, a sign, then "0x", "0o" or "0b"
// (lower case only) for hexadecimal, octal or binary, else decimal digits;
// whatever follows is ignored. The arithmetic is 32-bit unsigned, so a
// value too long keeps its low 32 bits rather than stopping at a limit.
LONG ParseProfileInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                         : c >= 'a' && c <= 'z' ? static_cast<uint32_t>(c - 'a' + 10)
                         : c >= 'A' && c <= 'Z' ? static_cast<uint32_t>(c - 'A' + 10)
                                                : base;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return static_cast<LONG>(negative ? 0u - value : value);
}

// --- Writing ---

// What one write does to the file, decided in a first pass so that a write
// that changes nothing leaves the file alone; the second pass copies the
// file with the change applied.
struct Change {
    enum Kind { None, DropLines, ReplaceLine, InsertLine, AppendSection } kind = None;
    size_t line = 0;  // the line replaced, or the one the new line goes before
    std::string text;  // the new line
    bool blankBefore = false;  // AppendSection: a blank line first
};

// Tells the lines a deletion drops: every line of every section of that
// name, or with a key, every copy of that key in them, so that a duplicate
// further down cannot reappear.
class Deletion {
public:
    Deletion(std::string_view section, const std::string_view* key) : section(section), key(key) {}

    bool Drops(std::string_view raw)
    {
        Line line = Classify(raw);
        if (line.kind == LineKind::Section) {
            inSection = w32::EqualNoCase(line.name, section);
            return inSection && !key;
        }
        return inSection && (!key || (line.kind == LineKind::Key && w32::EqualNoCase(line.name, *key)));
    }

private:
    std::string_view section;
    const std::string_view* key;
    bool inSection = false;
};

Change PlanDeletion(std::string_view body, Deletion deletion)
{
    LineReader lines(body);
    std::string_view raw;
    while (lines.Next(&raw))
        if (deletion.Drops(raw))
            return {Change::DropLines, 0, {}, false};
    return {};
}

// The first copy of the key in the first section of that name (the one
// reads look in) is rewritten in place; a new key goes after that section's
// last non-blank line; a new section goes at the end, after a blank line.
Change PlanSetKey(std::string_view body, std::string_view section, std::string_view key, std::string_view value)
{
    enum { Before, Inside, After } where = Before;
    size_t index = 0, insertAt = 0;
    bool lastBlank = true;
    LineReader lines(body);
    std::string_view raw;
    for (; lines.Next(&raw); ++index) {
        Line line = Classify(raw);
        lastBlank = line.kind == LineKind::Blank;
        if (line.kind == LineKind::Section) {
            if (where == Inside)
                where = After;
            if (where == Before && w32::EqualNoCase(line.name, section)) {
                where = Inside;
                insertAt = index + 1;
            }
        } else if (where == Inside) {
            if (line.kind == LineKind::Key && w32::EqualNoCase(line.name, key)) {
                if (line.value == value)
                    return {};
                return {Change::ReplaceLine, index, std::string(line.name) + "=" + std::string(value)};
            }
            if (line.kind != LineKind::Blank)
                insertAt = index + 1;
        }
    }
    std::string entry = std::string(key) + "=" + std::string(value);
    if (where != Before)
        return {Change::InsertLine, insertAt, entry};
    return {Change::AppendSection, index, entry, !lastBlank};
}

bool MakeDirectories(const std::string& directory)
{
    if (directory.empty())
        return true;
    struct stat info;
    if (stat(directory.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode))
            errno = ENOTDIR;
        return S_ISDIR(info.st_mode);
    }
    size_t slash = directory.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(directory.substr(0, slash)))
        return false;
    return mkdir(directory.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string ParentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote == 0)
            errno = ENOSPC;
        if (wrote <= 0)
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Buffered writes into the temporary file; the first failure sticks and
// leaves errno saying why. Nothing past the size the reader takes is
// written: such a file would lock every later read and write out.
class FileSink {
public:
    FileSink(int fd, std::string_view lineEnd) : fd(fd), lineEnd(lineEnd) {}

    void Put(std::string_view bytes)
    {
        if (ok && bytes.size() > maxProfileSize - total) {
            errno = EFBIG;
            ok = false;
        }
        if (!ok)
            return;
        total += bytes.size();
        if (buffer.size() + bytes.size() > bufferSize) {
            Flush();
            if (bytes.size() > bufferSize) {  // a huge line goes straight through, not into a copy
                ok = ok && WriteAll(fd, bytes);
                return;
            }
        }
        buffer.append(bytes);
    }

    void PutLine(std::string_view line)
    {
        Put(line);
        Put(lineEnd);
    }

    bool Flush()
    {
        ok = ok && WriteAll(fd, buffer);
        buffer.clear();
        return ok;
    }

private:
    static const size_t bufferSize = 1 << 16;
    int fd;
    std::string_view lineEnd;
    std::string buffer;
    size_t total = 0;
    bool ok = true;
};

// The file again with the change applied; every line ends with the file's
// line end, the last one too.
bool WriteChanged(int fd, const Text& text, const Change& change, std::string_view section,
                  const std::string_view* key)
{
    FileSink out(fd, text.lineEnd);
    out.Put(text.mark);
    Deletion deletion(section, key);
    LineReader lines(text.body);
    std::string_view raw;
    size_t index = 0;
    for (; lines.Next(&raw); ++index) {
        if (change.kind == Change::InsertLine && index == change.line)
            out.PutLine(change.text);
        if (change.kind == Change::ReplaceLine && index == change.line)
            out.PutLine(change.text);
        else if (change.kind != Change::DropLines || !deletion.Drops(raw))
            out.PutLine(raw);
    }
    if (change.kind == Change::InsertLine && index == change.line)
        out.PutLine(change.text);
    if (change.kind == Change::AppendSection) {
        if (change.blankBefore)
            out.PutLine("");
        out.PutLine("[" + std::string(section) + "]");
        out.PutLine(change.text);
    }
    return out.Flush();
}

mode_t NewFileMode()
{
    mode_t mask = umask(022);
    umask(mask);
    return 0666 & ~mask;
}

// Windows refuses to write a read-only file. Here that is a file we may
// not write, or one that nobody may write (root could, and must not).
bool IsReadOnly(const std::string& path, const struct stat& info)
{
    if ((info.st_mode & 0222) == 0) {
        errno = EACCES;
        return true;
    }
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

// Our temporary files are "." + the profile's name + "." + mkstemp's six
// letters and digits; nothing else in the folder is ever touched.
bool IsTemporaryOf(std::string_view entry, std::string_view name)
{
    const size_t randomPart = 6;
    if (entry.size() != name.size() + 2 + randomPart || entry[0] != '.' || entry.substr(1, name.size()) != name ||
        entry[name.size() + 1] != '.')
        return false;
    for (char c : entry.substr(name.size() + 2))
        if (!(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z'))
            return false;
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A writer holds a lock on its temporary file from the moment it exists
// until it has been renamed, so one that can be locked was left by a writer
// that died (killed during a save). Those are removed; one still being
// written stays.
void RemoveStaleTemporaries(const std::string& directory, std::string_view name)
{
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return;
    int dirFd = dirfd(dir);
    while (dirent* entry = readdir(dir)) {
        if (!IsTemporaryOf(entry->d_name, name))
            continue;
        int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held, named;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(held, named))
            unlinkat(dirFd, entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

// A new temporary file, locked. A cleaner may have taken the name between
// its creation and our lock: then another name is tried. A file system
// without locks writes unlocked (and nobody can take the file for stale).
int MakeLockedTemporary(const std::string& pattern, std::string* temporary)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        *temporary = pattern;
        int fd = mkostemp(&(*temporary)[0], O_CLOEXEC);
        if (fd < 0)
            return -1;
        int locked;
        while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        struct stat held, named;
        if (locked != 0 || (fstat(fd, &held) == 0 && stat(temporary->c_str(), &named) == 0 && SameFile(held, named)))
            return fd;
        close(fd);
    }
    errno = EEXIST;
    return -1;
}

// A replaced file keeps its owner where we may give it back (root) and its
// group where we belong to it; otherwise it becomes ours, as a new file.
void KeepOwnership(int fd, const struct stat& old)
{
    if (fchown(fd, old.st_uid, old.st_gid) == 0)
        return;
    int kept = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    (void)kept;
}

// Writes beside the file and renames over it. A symbolic link is followed,
// so the link stays and its target gets the new contents. The temporary
// file stays locked until it has its final name.
bool ReplaceFile(std::string path, const std::function<bool(int fd)>& writeContents)
{
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved))
            path = resolved;
    }
    bool exists = stat(path.c_str(), &info) == 0;
    if (exists && IsReadOnly(path, info))
        return false;
    mode_t mode = exists ? (info.st_mode & 07777) : NewFileMode();
    std::string directory = ParentOf(path);
    if (!MakeDirectories(directory))
        return false;
    std::string name = path.substr(path.find_last_of('/') + 1);
    RemoveStaleTemporaries(directory, name);
    std::string temporary;
    int fd = MakeLockedTemporary(directory + "/." + name + ".XXXXXX", &temporary);
    if (fd < 0)
        return false;
    bool ok = writeContents(fd);
    if (ok && exists)
        KeepOwnership(fd, info);
    ok = ok && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int error = errno;
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok)
        unlink(temporary.c_str());
    close(fd);  // the data is on disk already (fsync): this only drops the lock
    if (!ok) {
        errno = error;  // the caller reports why the write failed, not the cleanup
        return false;
    }
    int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values that could not be read back as written are refused
// rather than allowed to break the file into other lines or sections.
bool Writable(LPCSTR section, LPCSTR key, LPCSTR value)
{
    std::string_view name = Trim(section);
    if (name.empty() || HasLineBreak(name) || name.find(']') != std::string_view::npos)
        return false;
    if (key) {
        std::string_view k = Trim(key);
        if (HasLineBreak(k) || k.find('=') != std::string_view::npos || (!k.empty() && (k[0] == '[' || k[0] == ';')))
            return false;
    }
    return !value || !HasLineBreak(value);
}

}  // namespace

extern "C" {

// The folder the profile functions resolve a bare name in, which is what a
// program asks this for. The length without the zero, or the size needed
// with it when the buffer is too small.
UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    std::string folder = ProfileFolder();
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (!lpBuffer || uSize <= folder.size())
        return static_cast<UINT>(folder.size() + 1);
    memcpy(lpBuffer, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}

// Win32 returns the number as UINT: a negative value arrives as its two's
// complement, which a caller that casts back to int sees as negative.
UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    if (!lpAppName || !lpKeyName)
        return static_cast<UINT>(nDefault);
    std::string bytes;
    std::string_view value;
    if (ReadFile(ProfilePath(lpFileName), &bytes) != ReadResult::Read)
        return static_cast<UINT>(nDefault);
    if (!FindValue(SplitText(bytes).body, Trim(lpAppName), Trim(lpKeyName), &value))
        return static_cast<UINT>(nDefault);
    value = Unquote(value);
    if (value.empty())
        return static_cast<UINT>(nDefault);
    return static_cast<UINT>(ParseProfileInt(value));
}

// A NULL key deletes the section, a NULL value deletes the key. A file
// that exists but cannot be read is never overwritten, since its contents
// would be lost.
BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName)
{
    if (!lpAppName)
        return !lpKeyName && !lpString;  // Win32's "flush the cache": nothing is cached here
    if (!Writable(lpAppName, lpKeyName, lpString)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = ProfilePath(lpFileName);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);  // no home to keep the file in
        return FALSE;
    }
    std::string bytes;
    errno = 0;
    ReadResult read = ReadFile(path, &bytes);
    if (read == ReadResult::Failed) {
        // A folder or a device in its place reads as denied, an oversized file as too large.
        w32::SetLastErrorFromErrno(errno ? errno : EACCES);
        return FALSE;
    }
    Text text = SplitText(bytes);
    std::string_view section = Trim(lpAppName);
    std::string_view key = lpKeyName ? Trim(lpKeyName) : std::string_view();
    const std::string_view* keyToDelete = lpKeyName ? &key : nullptr;
    Change change = lpKeyName && lpString ? PlanSetKey(text.body, section, key, Trim(lpString))
                                          : PlanDeletion(text.body, Deletion(section, keyToDelete));
    if (change.kind == Change::None)
        return TRUE;
    if (!ReplaceFile(path, [&](int fd) { return WriteChanged(fd, text, change, section, keyToDelete); })) {
        w32::SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
