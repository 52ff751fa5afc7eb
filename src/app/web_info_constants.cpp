#include "app/web_info_constants.h"

#include "app/text_cipher.h"

namespace px3 {

WebConstants DecipherWebConstants() {
    WebConstants constants;
    constants.ServiceBaseAddress = CipherText(kStoredServiceBaseAddress, kWebConstantsCipherKey, 0);
    constants.SigningSecret = CipherText(kStoredSigningSecret, kWebConstantsCipherKey, 0);
    return constants;
}

}  // namespace px3
