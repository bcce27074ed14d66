// Error values. 0 is success; other values are made from registered identifier words
// ("file_not_found", "cancel", ...) and are valid for one run only, never stored.
#pragma once

#include <cstdint>
#include <string>

namespace ulib {

using SError = std::uint32_t;

// The value of the first registered definition with this identifier (case-sensitive), else 1.
SError ErrorFromIdentifier(const char* identifier);

// Wraps a C library errno value: 0 gives 0, a negative code code + 0x2000000, a code above 0xFFFFFF
// gives 1, any other code + 0x1000000.
SError ErrorFromSystemCode(std::int32_t code);

// For operations that run all their steps and report the first failure.
class SFirstError
{
public:
    void Keep(SError error)
    {
        if (error && !error_)
            error_ = error;
    }
    SError Value() const { return error_; }

private:
    SError error_ = 0;
};

// Shows the error's message in a warning box through the platform seam; 0 shows nothing.
void ReportError(SError error);

// Shows a command's failure as ReportError does, except the user's "cancel", which is shown only
// when showCancel is set (the commands whose cancel the user did not choose in a dialog).
void ReportFailure(SError error, bool showCancel);

// The text ReportError shows for the error: "" for 0; a registered definition's message, or
// "Error" when none has the value; the C library's text for a wrapped system code; "Error" for
// values from 0x2000000 up.
std::string ErrorText(SError error);

// The identifier word of the error, for logs and the converter's messages: the first registered
// definition's identifier, "errno" for a wrapped system code, "" for 0 and for an unregistered value.
std::string ErrorIdentifier(SError error);

}  // namespace ulib
