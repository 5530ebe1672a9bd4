#include "tests/support/program_run.h"

#include "tests/support/temp_dir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace {

// posix_spawn's file actions, released on every path.
class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    void Open(int fd, const std::string& path, int flags) {
        posix_spawn_file_actions_addopen(&actions_, fd, path.c_str(), flags, 0600);
    }
    const posix_spawn_file_actions_t* Get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
    // Files rather than pipes: no deadlock however much the program writes.
    TempDir dir;
    WriteBytes(dir.File("in"), input);
    FileActions actions;
    actions.Open(0, dir.File("in"), O_RDONLY);
    actions.Open(1, dir.File("out"), O_WRONLY | O_CREAT | O_TRUNC);
    actions.Open(2, dir.File("err"), O_WRONLY | O_CREAT | O_TRUNC);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    pid_t child = 0;
    const int error =
        posix_spawnp(&child, program.c_str(), actions.Get(), nullptr, argv.data(), environ);
    if (error != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(dir.File("out"));
    result.err = ReadBytes(dir.File("err"));
    return result;
}
