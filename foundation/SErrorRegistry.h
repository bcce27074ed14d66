// The process-wide registry of error definitions: identifier words with their messages, each
// given the next SError value as it is registered (the first gets 2). The program's 114 standard
// definitions register themselves, in a fixed order, before the first lookup or registration,
// so every caller sees them; values still hold for one run only and are never stored.
#pragma once

#include "SError.h"

#include <optional>
#include <string>
#include <vector>

namespace ulib {

class SErrorDefinition;

// Copies both texts (null, empty or longer than 65536 bytes leaves the field empty), appends the
// definition to the registry and sets its value to the last value plus 1 (2 for the first).
// A definition that is already registered is left as it is, keeping the value callers hold.
void RegisterErrorDefinition(SErrorDefinition& definition, const char* identifier, const char* message);

// Unlinks the definition and drops both texts; its value stays as it was. Does nothing for a
// definition that is not registered.
void UnregisterErrorDefinition(SErrorDefinition& definition);

// One error identifier with its message. The owner keeps the object alive while it is registered
// (destroying it unregisters it) and may read `value` directly.
class SErrorDefinition
{
public:
    SErrorDefinition() = default;
    SErrorDefinition(const SErrorDefinition&) = delete;
    SErrorDefinition& operator=(const SErrorDefinition&) = delete;
    ~SErrorDefinition();

    // The error value; 0 before the first registration.
    SError value = 0;

    const std::string& Identifier() const { return identifier_; }
    const std::string& Message() const { return message_; }
    bool IsRegistered() const { return registered_; }

private:
    friend void RegisterErrorDefinition(SErrorDefinition&, const char*, const char*);
    friend void UnregisterErrorDefinition(SErrorDefinition&);
    friend void AppendErrorDefinition(SErrorDefinition&, const char*, const char*);

    std::string identifier_;
    std::string message_;
    bool registered_ = false;
};

// The registered definitions in registration order (a snapshot; the objects stay owned by their
// units).
std::vector<const SErrorDefinition*> RegisteredErrorDefinitions();

// The message of the first registered definition with this value (empty for a reserved entry);
// nothing when no definition has the value.
std::optional<std::string> RegisteredErrorMessage(SError value);

// The standard definitions that later units raise through the object rather than by identifier.
// Each is registered by the time the reference is returned. JpegError is the JPEG adaptor's own
// "pngerror": a lookup by identifier finds PngError, so its value is reachable only here.
namespace error_definitions {
const SErrorDefinition& FileDialog();        // "filedialog"
const SErrorDefinition& PluginNotDefined();  // "plugin_n_def"
const SErrorDefinition& PluginNotFound();    // "plugin_not_found"
const SErrorDefinition& PluginInvalid();     // "plugin_invalid"
const SErrorDefinition& PluginException();   // "plugin_exception"
const SErrorDefinition& Unexpected();        // "unexpected"
const SErrorDefinition& InvalidPointer();    // "invalidpointer"
const SErrorDefinition& PngError();          // "pngerror", the PNG adaptor's
const SErrorDefinition& PngError2();         // "pngerror2"
const SErrorDefinition& JpegError();         // "pngerror", the JPEG adaptor's
}  // namespace error_definitions

}  // namespace ulib
