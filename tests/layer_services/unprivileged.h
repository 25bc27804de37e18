// Permission cases mean nothing to root, who reads and writes regardless,
// and the test command runs as root. Under root the case runs in a child
// process that has become the user "nobody" and owns the case's folder;
// otherwise it runs in place. The child's failures fail the test. Root may
// name another user to become, one the password database need not know.
#pragma once
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

inline void RunUnprivileged(const std::string& folder, const std::function<void()>& body, uid_t user = (uid_t)-1)
{
    if (geteuid() != 0) {
        body();
        return;
    }
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr) << "no user to run the permission case as";
    uid_t uid = user != (uid_t)-1 ? user : nobody->pw_uid;
    gid_t gid = nobody->pw_gid;
    std::string handOver = "chown -R " + std::to_string(uid) + ":" + std::to_string(gid) + " '" + folder + "'";
    ASSERT_EQ(system(handOver.c_str()), 0);
    fflush(nullptr);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0 ||
            geteuid() == 0) {
            perror("dropping to the unprivileged user");
            _exit(2);
        }
        body();
        fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the case as user " << uid << " failed (wait status " << status << "; its failures are above)";
}
