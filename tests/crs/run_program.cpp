#include "run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace crs_test {

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
  // The input goes through a file, so a program that reads little cannot block the writer.
  char input_path[] = "/tmp/zerb-crs-input-XXXXXX";
  const int input_fd = mkstemp(input_path);
  if (input_fd < 0) {
    return {-1, {}};
  }
  unlink(input_path);
  if (write(input_fd, input.data(), input.size()) != static_cast<ssize_t>(input.size()) ||
      lseek(input_fd, 0, SEEK_SET) != 0) {
    close(input_fd);
    return {-1, {}};
  }
  int output_pipe[2];
  if (pipe(output_pipe) != 0) {
    close(input_fd);
    return {-1, {}};
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    dup2(input_fd, STDIN_FILENO);
    dup2(output_pipe[1], STDOUT_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDERR_FILENO);
    close(output_pipe[0]);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(input_fd);
  close(output_pipe[1]);
  ProgramResult result{-1, {}};
  if (child < 0) {
    close(output_pipe[0]);
    return result;
  }
  char buffer[4096];
  ssize_t count;
  while ((count = read(output_pipe[0], buffer, sizeof buffer)) > 0) {
    result.output.append(buffer, static_cast<std::size_t>(count));
  }
  close(output_pipe[0]);
  int status = 0;
  if (waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  }
  return result;
}

}  // namespace crs_test
