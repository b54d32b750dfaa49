// The desktop's own file dialogs and message box on Linux, borrowed from a dialog tool: zenity (GTK)
// or else kdialog (KDE), whichever is found on PATH. The X11 backend tries these first and draws its
// own small dialog when the answer is "unavailable".
//
// The tool runs as a child process from an argument vector (never through a shell, so that no name
// needs quoting) with stdin and stderr on /dev/null and stdout on a pipe; the chosen path is what it
// prints. ExternalDialog never blocks unless asked to: the editor keeps painting and pumping its
// events while the dialog is open, and polls for the end.
//
// The environment variable ORVEL_DIALOG_TOOL chooses instead of the search: "zenity" or "kdialog"
// (that tool or none), "none" (always the built-in dialog).
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/native_dialogs.h"

namespace platform {

enum class DialogTool { none, zenity, kdialog };

struct FoundDialogTool {
    DialogTool tool = DialogTool::none;
    std::string path; // the executable to run; empty with DialogTool::none
};

// The tool that ORVEL_DIALOG_TOOL names, else zenity, else kdialog, each only when found on PATH.
FoundDialogTool findDialogTool();

// The first executable regular file of that name in the folders of $PATH; empty when there is none.
// Empty entries of PATH (which a shell reads as the current folder) are skipped: the current folder
// belongs to the host and is no place to run programs from.
std::string findOnPath(const std::string& program);

// The argument vectors (argv[0] first) for each tool.
std::vector<std::string> fileDialogArguments(DialogTool tool, const FileDialogRequest& request);
std::vector<std::string> messageBoxArguments(DialogTool tool, const std::string& text,
                                             const std::string& title);

enum class DialogOutcome {
    unavailable, // no tool, or it could not be started: use the built-in dialog
    running,     // started and not yet ended
    accepted,    // a file was chosen (the message box was confirmed)
    cancelled,   // the tool ended without a choice: the user cancelled or closed it
};

class ExternalDialog {
public:
    ExternalDialog() = default;
    // Ends a tool that is still running: the dialog's owner is going away.
    ~ExternalDialog();
    ExternalDialog(const ExternalDialog&) = delete;
    ExternalDialog& operator=(const ExternalDialog&) = delete;

    // Start the tool; false (and outcome() unavailable) when there is none or it cannot be started.
    // One dialog at a time: a start while running is refused.
    bool startFileDialog(const FileDialogRequest& request);
    bool startMessageBox(const std::string& text, const std::string& title);

    // Never blocks: takes what the tool has written and, once it has ended, its exit status. True
    // when the dialog is over (or was never started).
    bool poll();
    // Blocks until the tool has ended; the outcome.
    DialogOutcome wait();
    // Ends a running tool now, as a cancel.
    void cancel();

    DialogOutcome outcome() const { return outcome_; }
    // The chosen path (with the default extension of a save appended when it had none); empty
    // unless the outcome is accepted.
    const std::string& path() const { return path_; }
    // The pipe that the tool writes to, for a caller that waits on several descriptors; -1 when
    // nothing runs.
    int descriptor() const { return pipe_; }

private:
    bool start(const std::vector<std::string>& arguments, const std::string& program);
    void readAvailable();
    void finish(bool statusKnown, int status);
    void closePipe();

    pid_t child_ = -1;
    int pipe_ = -1;
    bool pipeAtEnd_ = false;
    bool fileDialog_ = false;
    FileDialogRequest request_; // of the running file dialog, for its default extension and limit
    std::string output_;
    std::string path_;
    DialogOutcome outcome_ = DialogOutcome::unavailable;
};

// Blocking forms for callers that may wait: the outcome, and the path when accepted.
DialogOutcome runExternalFileDialog(const FileDialogRequest& request, std::string& path);
DialogOutcome showExternalMessageBox(const std::string& text, const std::string& title);

} // namespace platform
