#include "app/app_texts.h"

namespace px3::texts {

const char kAppTitle[] = "维护工具";

}  // namespace px3::texts
