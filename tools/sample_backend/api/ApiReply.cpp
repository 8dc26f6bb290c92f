#include "sample_backend/api/ApiReply.h"

namespace sample_backend::api {

std::string ApiReply::body(CodeForm form) const {
  nlohmann::json envelope = topLevel;
  switch (form) {
    case CodeForm::kNumber:
      envelope["code"] = code;
      break;
    case CodeForm::kText:
      envelope["code"] = std::to_string(code);
      break;
    case CodeForm::kMissing:
      break;
  }
  envelope["message"] = message;
  if (!obj.is_null()) {
    envelope["obj"] = obj;
  }
  return envelope.dump();
}

}  // namespace sample_backend::api
