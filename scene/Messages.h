#pragma once
#include <string>

namespace kv {

enum class MessageIcon { Error, Information, Warning };
enum class Modality { Modal, SystemModal };

// A message for the user: text, title, icon and how modal its box is.
struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::Error;
    Modality modality = Modality::SystemModal;
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

// printf-style "%s" substitution for message templates: each "%s" in order.
std::string FormatMessage(const std::string& pattern, std::initializer_list<std::string> args);

}  // namespace kv
