#include "common/error_report.h"

namespace pellucor {

std::string ComposeErrorPrompt(std::string_view message, std::string_view location, int line) {
  std::string prompt;
  prompt += message;
  prompt += "\r\n";
  prompt += location;
  prompt += "at line ";
  prompt += std::to_string(line);
  prompt += "\r\r";
  prompt += "Please email screenshot of this message to ";
  prompt += kSupportAddress;
  return prompt;
}

void ReportError(MessageLoop& loop, std::string_view location, int line, std::string_view message) {
  loop.messageBox(ComposeErrorPrompt(message, location, line), kErrorCaption, kErrorBoxStyle);
}

void Guard::begin(int line) {
  line_ = line;
  if (observer_ && *observer_) (*observer_)(location_, line);
}

void Guard::report(std::exception_ptr error) {
  std::string message;
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    message = failure_text::kOutOfMemory;
  } catch (const std::exception& e) {
    message = e.what();
  }
  // Anything else (ProcessEnded) propagates: the process is ending.
  ReportError(loop_, location_, line_, message);
}

}  // namespace pellucor
