#include "integration/integration_texts.h"

namespace px3::expected {

const char kServerUser[] = "维护工具";
const char kRefusedLogin[] = "登录尝试失败，不能通过服务器的验证，可能是设置不正确.";
const char kRefusedConnection[] = "10061: 连接被拒绝. 确认服务器已经开启";

}  // namespace px3::expected
