// Turning error values into text and boxes: registered values show their message, values that
// carry a C library errno code show the library's text for it, cause values the path and the
// system's reason, anything else shows "Error".
#include "SError.h"
#include "SErrorCause.h"
#include "SErrorRegistry.h"
#include "SLanguage.h"
#include "SMessage.h"
#include "SPlatform.h"

#include <optional>
#include <string>

namespace ulib {

SError ErrorFromSystemCode(std::int32_t code)
{
    if (code == 0)
        return 0;
    if (code < 0)
        return static_cast<SError>(code) + UnclassifiedBase;
    if (code > 0xFFFFFF)
        return 1;
    return static_cast<SError>(code) + SystemCodeBase;
}

std::string ErrorText(SError error)
{
    if (error == 0)
        return {};
    if (error < SystemCodeBase) {
        // The registry keeps the Japanese message; an English run shows its translation.
        const std::optional<std::string> message = RegisteredErrorMessage(error);
        return message ? std::string(Translate(message->c_str())) : std::string("Error");
    }
    if (error < UnclassifiedBase)
        return SystemCodeText(SystemCodeOf(error));
    return ErrorCauseText(error).value_or("Error");
}

std::string ErrorIdentifier(SError error)
{
    if (ErrorCauseText(error))
        return ErrorIdentifier(ErrorIdentity(error));
    if (error >= SystemCodeBase)
        return error < UnclassifiedBase ? "errno" : "";
    for (const SErrorDefinition* definition : RegisteredErrorDefinitions())
        if (definition->value == error)
            return definition->Identifier();
    return {};
}

void ReportError(SError error)
{
    if (error == 0)
        return;
    const std::optional<std::string> cause = ErrorCauseText(error);
    if (error >= UnclassifiedBase && !cause) {
        ShowPlainMessage("Error");
        return;
    }
    SMessageBoxRequest request;
    request.caption = ApplicationTitle().Str();
    request.text = cause ? *cause : ErrorText(error);
    request.style = ErrorIdentity(error) < SystemCodeBase ? box_style::IconWarning : box_style::SystemModal | box_style::IconWarning;
    request.hasOwner = false;
    Platform().ShowBox(request);
}

void ReportFailure(SError error, bool showCancel)
{
    if (error != 0 && (showCancel || error != ErrorFromIdentifier("cancel")))
        ReportError(error);
}

}  // namespace ulib
