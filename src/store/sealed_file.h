#pragma once
// The sealed form of MyData_2.dat: AES-256-GCM under a PBKDF2-HMAC-SHA256 key from the
// password, through the system's CNG. Laid out so that any other tool can read it:
//   0..7   "HRK-AES1"
//   8..11  PBKDF2 iteration count, unsigned 32-bit little-endian
//   12..27 salt (random)
//   28..39 nonce (random, new for every write)
//   then the cipher text of the data-set file exactly as it is written unsealed,
//   then the 16-byte GCM tag. The first 40 bytes are the additional authenticated data.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace sealed {

constexpr char kMagic[] = "HRK-AES1";
constexpr size_t kMagicSize = 8;
constexpr size_t kSaltSize = 16;
constexpr size_t kNonceSize = 12;
constexpr size_t kHeaderSize = kMagicSize + 4 + kSaltSize + kNonceSize;  // 40
constexpr size_t kTagSize = 16;
// Written with this count: about half a second under Wine on a current PC.
constexpr uint32_t kIterations = 600000;
// Read only within these: a count below was never written, one far above would hang
// the program on a damaged or hostile file.
constexpr uint32_t kMinIterations = 600000;
constexpr uint32_t kMaxIterations = 20000000;

// True when bytes start like a sealed file (the mark only; nothing is verified).
bool LooksSealed(const std::string& bytes);

// What a file is before any key is tried: no mark; the mark but no whole header and tag, or a
// count no writer used (damage, never a wrong password); or whole enough to ask for one.
enum class Shape { NoMark, Damaged, Whole };
Shape ShapeOf(const std::string& bytes);

// What MyData_2.dat is, given the note the last seal or unseal left in the settings: after a
// seal, a file without the mark (a flipped byte, emptied) is damage, never a plain Private.
enum class Form { Plain, Sealed, Damaged };
Form FormOf(const std::string& bytes, bool notedSealed);

// The writes that change how Private is protected, in an order that leaves the old state or
// the new one whatever write a run ends after: the note never says sealed while the file is
// plain, and a plain file never stands while the password file does not name its key.
enum class StateWrite { SealedFile, PlainFile, PasswordFile, NoteSealed, NoteUnsealed };
inline constexpr StateWrite kSealWrites[] = {StateWrite::SealedFile, StateWrite::PasswordFile, StateWrite::NoteSealed};
inline constexpr StateWrite kUnsealWrites[] = {StateWrite::PasswordFile, StateWrite::NoteUnsealed, StateWrite::PlainFile};

// A derived key with the salt and count it came from. Wiped when it goes.
class Key {
public:
    Key() = default;
    ~Key() { Wipe(); }
    Key(const Key& other) = default;
    Key& operator=(const Key& other) = default;
    void Wipe();

    uint32_t iterations = 0;
    std::array<uint8_t, kSaltSize> salt{};
    std::array<uint8_t, 32> bytes{};
};

// PBKDF2-HMAC-SHA256 of the password's UTF-8 bytes. nullopt when CNG refuses.
std::optional<Key> DeriveKey(const std::wstring& password, uint32_t iterations,
                             const std::array<uint8_t, kSaltSize>& salt);
// A key under a new random salt, for a file sealed afresh.
std::optional<Key> NewKey(const std::wstring& password);
// The key a sealed file was written under, from the salt and count of its header; nullopt
// when the header is not one of ours or its count is out of range.
std::optional<Key> KeyForFile(const std::string& sealedBytes, const std::wstring& password);

// Seals plain under key with a new random nonce (or the one given).
std::optional<std::string> Seal(const Key& key, const std::string& plain);
std::optional<std::string> SealWithNonce(const Key& key, const std::string& plain,
                                         const std::array<uint8_t, kNonceSize>& nonce);
// The plain text when the tag verifies under key; nullopt for anything else.
std::optional<std::string> Open(const Key& key, const std::string& sealedBytes);

// Writes the sealed file whole: beside it first, then moved over it in one step. A file
// at path that is sealed but does not open under key is never replaced.
bool WriteFile(const std::wstring& path, const Key& key, const std::string& plain);

// Wipes a buffer that held a secret in a way the compiler keeps.
void WipeBytes(void* data, size_t size);

}  // namespace sealed
