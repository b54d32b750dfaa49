#include "platform/external_dialogs_posix.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_browser.h"

extern char** environ;

namespace platform {

namespace {

// What the tool prints is one path; more than this is not a path and is not kept.
constexpr std::size_t kMaxOutput = 64 * 1024; // [bytes]

// How long wait() sleeps between looks while the pipe stays open without data (a tool that has
// ended but left a descendant holding its stdout).
constexpr int kWaitSlice = 50; // [ms]

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

const char* toolName(DialogTool tool) {
    return tool == DialogTool::zenity ? "zenity" : "kdialog";
}

FoundDialogTool found(DialogTool tool) {
    std::string path = findOnPath(toolName(tool));
    if (path.empty()) return {};
    return {tool, std::move(path)};
}

// "*.ozp;*.ozb" as the space-separated list both tools take.
std::string spacedPatterns(const std::string& patterns) {
    std::string out;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string one = patterns.substr(start, end - start);
        one.erase(0, one.find_first_not_of(' '));
        one.erase(one.find_last_not_of(' ') + 1);
        if (!one.empty()) out += (out.empty() ? "" : " ") + one;
        start = end + 1;
    }
    return out.empty() ? "*" : out;
}

// Both tools split a filter at '|', so a label must not hold one.
std::string filterLabel(const FileFilter& filter) {
    std::string label = filter.label.empty() ? spacedPatterns(filter.pattern) : filter.label;
    for (char& c : label)
        if (c == '|') c = '/';
    return label;
}

std::vector<std::string> zenityFileArguments(const FileDialogRequest& request) {
    std::vector<std::string> args{"zenity", "--file-selection"};
    if (request.save) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    }
    if (!request.title.empty()) args.push_back("--title=" + request.title);
    // A trailing slash makes zenity open the folder rather than select it.
    if (!request.initialDirectory.empty())
        args.push_back("--filename=" + joinPath(request.initialDirectory, "/"));
    // zenity selects the first filter it is given, as the request wants.
    for (const FileFilter& filter : request.filters)
        args.push_back("--file-filter=" + filterLabel(filter) + " | " + spacedPatterns(filter.pattern));
    return args;
}

std::vector<std::string> kdialogFileArguments(const FileDialogRequest& request) {
    // kdialog takes the start folder and the filter as plain arguments after the mode; the folder is
    // not optional once a filter follows it.
    std::vector<std::string> args{"kdialog", request.save ? "--getsavefilename" : "--getopenfilename",
                                  request.initialDirectory.empty() ? homeFolder() : request.initialDirectory};
    // KDE's filter syntax: one "patterns|label" per line, the first line selected.
    std::string filter;
    for (const FileFilter& f : request.filters)
        filter += (filter.empty() ? "" : "\n") + spacedPatterns(f.pattern) + "|" + filterLabel(f);
    if (!filter.empty()) args.push_back(filter);
    if (!request.title.empty()) {
        args.push_back("--title");
        args.push_back(request.title);
    }
    return args;
}

// The first line of what the tool printed, without its line end.
std::string firstLine(const std::string& output) {
    std::string line = output.substr(0, output.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Closes both ends of a pipe that did not come to use.
void closeBoth(int fds[2]) {
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace

std::string findOnPath(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return isExecutableFile(program) ? program : std::string();
    const char* value = std::getenv("PATH");
    // Without PATH, the folders that execvp and the shells fall back to.
    const std::string path = value ? value : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string folder = path.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        const std::string candidate = joinPath(folder, program);
        if (isExecutableFile(candidate)) return candidate;
    }
    return {};
}

FoundDialogTool findDialogTool() {
    const char* choice = std::getenv("ORVEL_DIALOG_TOOL");
    const std::string named = choice ? choice : "";
    if (named == "none") return {};
    if (named == "zenity") return found(DialogTool::zenity);
    if (named == "kdialog") return found(DialogTool::kdialog);
    // Unset or unknown: GNOME's tool first, as it is the one more often installed.
    FoundDialogTool tool = found(DialogTool::zenity);
    return tool.tool != DialogTool::none ? tool : found(DialogTool::kdialog);
}

std::vector<std::string> fileDialogArguments(DialogTool tool, const FileDialogRequest& request) {
    if (tool == DialogTool::zenity) return zenityFileArguments(request);
    if (tool == DialogTool::kdialog) return kdialogFileArguments(request);
    return {};
}

std::vector<std::string> messageBoxArguments(DialogTool tool, const std::string& text,
                                             const std::string& title) {
    if (tool == DialogTool::zenity) {
        // Our texts are plain: without --no-markup a '&' or '<' in a file name would be read as Pango
        // markup, which such a text is not, and the box would not show it as written.
        std::vector<std::string> args{"zenity", "--error", "--no-markup", "--text=" + text};
        if (!title.empty()) args.push_back("--title=" + title);
        return args;
    }
    if (tool == DialogTool::kdialog) {
        std::vector<std::string> args{"kdialog", "--error", text};
        if (!title.empty()) {
            args.push_back("--title");
            args.push_back(title);
        }
        return args;
    }
    return {};
}

ExternalDialog::~ExternalDialog() {
    cancel();
}

bool ExternalDialog::startFileDialog(const FileDialogRequest& request) {
    if (child_ > 0) return false;
    outcome_ = DialogOutcome::unavailable;
    const FoundDialogTool tool = findDialogTool();
    fileDialog_ = true;
    request_ = request;
    return tool.tool != DialogTool::none && start(fileDialogArguments(tool.tool, request), tool.path);
}

bool ExternalDialog::startMessageBox(const std::string& text, const std::string& title) {
    if (child_ > 0) return false;
    outcome_ = DialogOutcome::unavailable;
    const FoundDialogTool tool = findDialogTool();
    fileDialog_ = false;
    return tool.tool != DialogTool::none && start(messageBoxArguments(tool.tool, text, title), tool.path);
}

bool ExternalDialog::start(const std::vector<std::string>& arguments, const std::string& program) {
    outcome_ = DialogOutcome::unavailable;
    output_.clear();
    path_.clear();
    pipeAtEnd_ = false;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // stdout to the pipe (dup2 clears close-on-exec on the copy); stdin and stderr to /dev/null, so
    // that the tool neither reads the host's input nor writes GTK's warnings into its log.
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The host's own descriptors (its audio devices, its X connection) are none of the tool's
    // business, and not every host marks them close-on-exec.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    // The host may block or ignore signals on its thread; the tool should start as a fresh program.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        closeBoth(fds);
        return false;
    }
    ::close(fds[1]); // only the child writes: the read end sees the end when the child is gone
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    child_ = pid;
    pipe_ = fds[0];
    outcome_ = DialogOutcome::running;
    return true;
}

void ExternalDialog::readAvailable() {
    char buffer[4096];
    while (pipe_ >= 0 && !pipeAtEnd_) {
        const ssize_t n = ::read(pipe_, buffer, sizeof buffer);
        if (n > 0) {
            if (output_.size() < kMaxOutput) output_.append(buffer, std::size_t(n));
            continue;
        }
        if (n == 0) pipeAtEnd_ = true;
        if (n < 0 && errno == EINTR) continue;
        break; // EAGAIN: nothing more for now
    }
}

bool ExternalDialog::poll() {
    if (child_ <= 0) return true;
    readAvailable();
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(child_, &status, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == 0) return false;
    // A host that ignores SIGCHLD has the child reaped for it (ECHILD): the status is lost and the
    // output alone tells.
    readAvailable(); // what it wrote before it ended is in the pipe already
    finish(reaped == child_, status);
    return true;
}

DialogOutcome ExternalDialog::wait() {
    while (!poll()) {
        pollfd watch{pipe_, POLLIN, 0};
        if (pipeAtEnd_) {
            // Nothing more can come: wait for the exit itself.
            int status = 0;
            pid_t reaped;
            do {
                reaped = ::waitpid(child_, &status, 0);
            } while (reaped < 0 && errno == EINTR);
            finish(reaped == child_, status);
            break;
        }
        ::poll(&watch, 1, kWaitSlice);
    }
    return outcome_;
}

void ExternalDialog::cancel() {
    if (child_ <= 0) return;
    // A dialog tool holds nothing that a hard end could spoil, and SIGKILL cannot be ignored, so the
    // wait after it is short.
    ::kill(child_, SIGKILL);
    while (::waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    closePipe();
    output_.clear();
    path_.clear();
    outcome_ = DialogOutcome::cancelled;
}

void ExternalDialog::finish(bool statusKnown, int status) {
    child_ = -1;
    closePipe();
    const bool exitedWell = statusKnown ? (WIFEXITED(status) && WEXITSTATUS(status) == 0) : true;
    outcome_ = DialogOutcome::cancelled;
    if (!fileDialog_) {
        if (exitedWell) outcome_ = DialogOutcome::accepted;
        return;
    }
    std::string path = firstLine(output_);
    output_.clear();
    // Both tools answer with an absolute path; anything else is no choice we can use.
    if (!exitedWell || path.empty() || path[0] != '/') return;
    // zenity's overwrite question was about the name as typed; the extension is ours to add, as
    // GetSaveFileName adds its lpstrDefExt.
    if (request_.save) path = withDefaultExtension(path, request_.defaultExtension);
    // The caller's buffer holds no more than this; a longer path cannot be handed on whole.
    if (request_.maxPathChars > 0 && path.size() > std::size_t(request_.maxPathChars)) return;
    path_ = std::move(path);
    outcome_ = DialogOutcome::accepted;
}

void ExternalDialog::closePipe() {
    if (pipe_ >= 0) ::close(pipe_);
    pipe_ = -1;
    pipeAtEnd_ = false;
}

DialogOutcome runExternalFileDialog(const FileDialogRequest& request, std::string& path) {
    ExternalDialog dialog;
    if (!dialog.startFileDialog(request)) return DialogOutcome::unavailable;
    const DialogOutcome outcome = dialog.wait();
    if (outcome == DialogOutcome::accepted) path = dialog.path();
    return outcome;
}

DialogOutcome showExternalMessageBox(const std::string& text, const std::string& title) {
    ExternalDialog dialog;
    if (!dialog.startMessageBox(text, title)) return DialogOutcome::unavailable;
    return dialog.wait();
}

} // namespace platform
