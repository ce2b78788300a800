#pragma once
#include <string>

namespace kv {

enum class MessageIcon { Error, Information, Warning };
enum class Modality { Modal, SystemModal };

// A message for the user: text, title, icon and how modal its box is.
struct Message {
    Message() = default;
    Message(std::string text_, std::string title_, MessageIcon icon_ = MessageIcon::Error,
            Modality modality_ = Modality::SystemModal, std::string detail_ = {})
        : text(std::move(text_)), title(std::move(title_)), icon(icon_), modality(modality_), detail(std::move(detail_))
    {
    }

    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::Error;
    Modality modality = Modality::SystemModal;
    // What the command line adds on the line after the text, in parentheses:
    // the system's reason for a failed file operation ("Permission denied"),
    // or the file a message is about. The window shows the text alone.
    std::string detail;
};

inline constexpr const char* kMessageTitle = "Kelvane Message";
inline constexpr const char* kErrorTitle = "Kelvane Error Message";

// Ends the current creation (or preview) after a failure: the message is shown
// by whoever catches it, then the job's end routine runs. Thrown from any
// stage; caught once at the top of the creation job.
struct JobFailure {
    Message message;
};

// Ends the current creation because the user asked it to stop; nothing is shown.
struct JobStopped {};

// Builds a JobFailure with the error icon, system-modal.
inline JobFailure Failure(std::string text, const char* title = kMessageTitle)
{
    return JobFailure{Message{std::move(text), title, MessageIcon::Error, Modality::SystemModal}};
}

// The same with the system's reason for the failure (see Message::detail).
inline JobFailure FailureBecause(std::string text, std::string reason, const char* title = kMessageTitle)
{
    JobFailure failure = Failure(std::move(text), title);
    failure.message.detail = std::move(reason);
    return failure;
}

// printf-style "%s" substitution for message templates: each "%s" in order.
std::string FormatMessage(const std::string& pattern, std::initializer_list<std::string> args);

}  // namespace kv
