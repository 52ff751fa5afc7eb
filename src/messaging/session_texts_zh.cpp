#include "messaging/session_texts.h"

namespace px3::texts {

const char kLoginRefused[] = "登录尝试失败，不能通过服务器的验证，可能是设置不正确.";
const char kConnectionRefused[] = "10061: 连接被拒绝. 确认服务器已经开启";
const char kHostUnreachable[] = "10065: 不能到达目标主机. 请确认网络没有问题或者防火墙已经设置正确";

}  // namespace px3::texts
