#pragma once
// Whole-file RC4 cipher: set inFile, outFile and password, then call Encrypt or Decrypt.
// Never overwrites an existing outFile (returns false, no message).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "store/password_state.h"

class FileCipher {
public:
    std::wstring inFile;
    std::wstring outFile;
    std::wstring password;

    bool Encrypt();
    bool Decrypt();

    // Raised after every chunk with the running total and the input size, and once at the end.
    std::function<void(int32_t doneBytes, int32_t fileBytes)> onProgress;
    std::function<void()> onDone;

    // Shows "Error! 0xx"; replaceable so tests can see the text instead of a message box.
    static std::function<void(const std::wstring&)> ShowError;
};

// The same cipher on bytes in memory, under a password (never the header-key form): for callers
// that must not put a plain text on disk. Empty on failure, and for an empty password.
// encrypting only picks the error codes shown: the cipher is its own inverse.
std::optional<std::string> CipherBytes(const std::string& bytes, const std::wstring& password,
                                       bool encrypting = false);

// Convenience for callers that only need one run: a fresh object, one call.
bool EncryptFileTo(const std::wstring& in, const std::wstring& out, const std::wstring& password);
bool DecryptFileTo(const std::wstring& in, const std::wstring& out, const std::wstring& password);
