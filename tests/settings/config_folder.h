// A private configuration folder for each test case, as a base of its
// fixture: a fresh folder under /tmp that XDG_CONFIG_HOME names while the
// case runs, removed with all it holds when the case ends, whatever the case
// left in it (a folder without permissions included). The settings file's
// folder is not made until the case writes the file.
#pragma once
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

class ConfigFolder {
protected:
    ConfigFolder()
    {
        // The child of a death test runs the case again and ends without
        // destructors: it works in the folder its parent made and removes.
        const char* parents = getenv("XDG_CONFIG_HOME");
        char pattern[] = "/tmp/brackwold-test-XXXXXX";
        if (!GTEST_FLAG_GET(internal_run_death_test).empty() && parents)
            root = parents;
        else if (mkdtemp(pattern))
            root = owned = pattern;
        else
            ADD_FAILURE() << "cannot make a temporary folder";
        folder = root + "/brackwold";
        path = folder + "/BRKW.ini";
        setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    }

    ~ConfigFolder()
    {
        if (!owned.empty()) {
            EXPECT_EQ(system(("chmod -R u+rwx '" + owned + "'; rm -rf '" + owned + "'").c_str()), 0);
        }
    }

    ConfigFolder(const ConfigFolder&) = delete;
    ConfigFolder& operator=(const ConfigFolder&) = delete;

    // The settings file with these bytes, its folder made if need be.
    void WriteIni(const std::string& bytes) const
    {
        mkdir(folder.c_str(), 0755);
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string root;    // XDG_CONFIG_HOME
    std::string folder;  // the saver's folder in it
    std::string path;    // the settings file

private:
    std::string owned;  // what the destructor removes
};
