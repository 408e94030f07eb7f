#include "common/error_report.h"

namespace pellucor {

std::string FailureInLanguage(const Texts& texts, std::string_view message) {
  using namespace failure_text;
  static constexpr struct {
    const char* english;
    int text;
  } kFailures[] = {
      {kOverflow, IDS_FAIL_OVERFLOW},
      {kTypeMismatch, IDS_FAIL_TYPE_MISMATCH},
      {kInvalidPicture, IDS_FAIL_INVALID_PICTURE},
      {kFileNotFound, IDS_FAIL_FILE_NOT_FOUND},
      {kPathNotFound, IDS_FAIL_PATH_NOT_FOUND},
      {kBadFileName, IDS_FAIL_BAD_FILE_NAME},
      {kInvalidArgument, IDS_FAIL_INVALID_ARGUMENT},
      {kOutOfMemory, IDS_FAIL_OUT_OF_MEMORY},
      {kInvalidSkin, IDS_FAIL_INVALID_SKIN},
      {kNotSupported, IDS_FAIL_NOT_SUPPORTED},
  };
  for (const auto& failure : kFailures) {
    if (message == failure.english) return texts.textFor(failure.text);
  }
  return std::string(message);
}

std::string ComposeErrorPrompt(const Texts& texts, std::string_view message, std::string_view location, int line) {
  std::string prompt;
  prompt += message;
  prompt += "\r\n";
  prompt += location;
  prompt += "at line ";
  prompt += std::to_string(line);
  prompt += "\r\r";
  prompt += FillIn(texts.textFor(IDS_ERROR_EMAIL), {kSupportAddress});
  return prompt;
}

void ReportError(MessageLoop& loop, const Texts& texts, std::string_view location, int line, std::string_view message) {
  loop.messageBox(ComposeErrorPrompt(texts, FailureInLanguage(texts, message), location, line),
                  texts.textFor(IDS_ERROR_CAPTION), kErrorBoxStyle);
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
  ReportError(loop_, texts_, location_, line_, message);
}

}  // namespace pellucor
