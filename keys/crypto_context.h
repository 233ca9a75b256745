// The application crypto context: the first-run set-up that creates "Default
// Container" once, and the one provider handle the program holds on the
// current container ("Container Info" "Current"), lent to the random source,
// the hash calculator and the scripting host. No window here: the main window
// owns a CryptoContext and enables its commands from held().
#pragma once

#include "keys/key_containers.h"
#include "keys/profile_settings.h"
#include "platform/crypto/crypt_provider.h"

namespace keys {

inline constexpr char kSectionGeneral[] = "General";
inline constexpr char kAlreadyRun[] = "Already Run";

// At every start: when "General" "Already Run" is 0, opens "Default
// Container" or else creates it; when either worked, records it as "Current"
// and Item0 of "Container Info". Writes "Already Run" = 1 in every case, so a
// failure is not retried. Generates no key pair; shows nothing.
void RunFirstRunSetup(ProfileSettings& settings);

class CryptoContext {
public:
    CryptoContext() = default;
    ~CryptoContext();
    CryptoContext(const CryptoContext&) = delete;
    CryptoContext& operator=(const CryptoContext&) = delete;

    // Releases a held handle, then opens the container named by "Container
    // Info" "Current" (empty when missing) with flags 0. The handle, or 0 when
    // that fails, becomes the context and the arithmetic library's random
    // source (MPA_SetCryptHandle). Returns it.
    platform::HCRYPTPROV Open(ProfileSettings& settings);

    // Releases the handle (if any) and sets the context to 0; the random
    // source falls back to its own generator.
    void Release();

    platform::HCRYPTPROV handle() const { return handle_; }
    bool held() const { return handle_ != 0; }

private:
    platform::HCRYPTPROV handle_ = 0;
};

} // namespace keys
