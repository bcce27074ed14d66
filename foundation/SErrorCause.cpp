// The cause values: a small ring of recent failures, each with its identity, errno code and path.
#include "SErrorCause.h"

#include <array>
#include <cstring>
#include <mutex>

namespace ulib {

namespace {

// Enough for every failure a batch reports while its files are still being reported on.
constexpr std::size_t CauseSlots = 256;

enum class SCauseKind { System, Path, Detail };

struct SCause
{
    SError value = 0;
    SError identity = 0;
    SCauseKind kind = SCauseKind::System;
    std::int32_t code = 0;
    std::string text;  // the file (System, Path) or the detail line (Detail)
};

struct SCauseRing
{
    std::mutex lock;
    std::array<SCause, CauseSlots> slots;
    SError next = CauseBase;
};

// Never destroyed: errors may be reported while static objects are torn down at exit.
SCauseRing& Ring()
{
    static SCauseRing* const ring = new SCauseRing;
    return *ring;
}

// A copy of the cause with this value, if its slot still holds it.
std::optional<SCause> FindCause(SError error)
{
    if (error < CauseBase || error >= CauseEnd)
        return std::nullopt;
    SCauseRing& ring = Ring();
    std::lock_guard guard(ring.lock);
    const SCause& cause = ring.slots[(error - CauseBase) % CauseSlots];
    if (cause.value != error)
        return std::nullopt;
    return cause;
}

// strerror_r comes in two shapes (POSIX returns a status, GNU returns the text); take either.
[[maybe_unused]] const char* PickText(int status, const char* buffer)
{
    return status == 0 ? buffer : "";
}
[[maybe_unused]] const char* PickText(const char* text, const char*)
{
    return text;
}

SError Remember(SError identity, SCauseKind kind, std::int32_t code, const std::string& text)
{
    SCauseRing& ring = Ring();
    std::lock_guard guard(ring.lock);
    const SError value = ring.next;
    ring.next = ring.next + 1 == CauseEnd ? CauseBase : ring.next + 1;
    ring.slots[(value - CauseBase) % CauseSlots] = {value, identity, kind, code, text};
    return value;
}

}  // namespace

SError ErrorWithSystemCause(SError identity, std::int32_t code, const std::string& path)
{
    if (code == 0)
        return identity;
    const SError kept = identity != 0 ? ErrorIdentity(identity) : ErrorFromSystemCode(code);
    return Remember(kept, SCauseKind::System, code, path);
}

SError ExplainFailure(SError identity, SError failure, const std::string& path)
{
    const std::int32_t code = SystemCodeOf(failure);
    return code != 0 ? ErrorWithSystemCause(identity, code, path) : failure;
}

SError ErrorWithPath(SError identity, const std::string& path)
{
    if (path.empty())
        return identity;
    return Remember(ErrorIdentity(identity), SCauseKind::Path, 0, path);
}

SError ErrorWithDetail(SError identity, const std::string& detail)
{
    if (detail.empty())
        return identity;
    return Remember(ErrorIdentity(identity), SCauseKind::Detail, 0, detail);
}

std::int32_t SystemCodeOf(SError error)
{
    if (const std::optional<SCause> cause = FindCause(error))
        return cause->code;
    if (error < SystemCodeBase || error >= UnclassifiedBase)
        return 0;
    // The upper half of the range holds the codes that were negative.
    const std::int32_t code = static_cast<std::int32_t>(error & 0xFFFFFF);
    return code >= 0x7FFFFF ? code - 0x1000000 : code;
}

SError ErrorIdentity(SError error)
{
    if (error < CauseBase || error >= CauseEnd)
        return error;
    if (const std::optional<SCause> cause = FindCause(error))
        return cause->identity;
    return 1;
}

std::optional<std::string> ErrorCauseText(SError error)
{
    const std::optional<SCause> cause = FindCause(error);
    if (!cause)
        return std::nullopt;
    switch (cause->kind) {
    case SCauseKind::Detail:
        return ErrorText(cause->identity) + "\n" + cause->text;
    case SCauseKind::Path:
        return cause->text + ": " + ErrorText(cause->identity);
    case SCauseKind::System:
        break;
    }
    const std::string reason = SystemCodeText(cause->code);
    return cause->text.empty() ? reason : cause->text + ": " + reason;
}

std::string SystemCodeText(std::int32_t code)
{
    char buffer[256] = {};
    return PickText(strerror_r(code, buffer, sizeof buffer), buffer);
}

}  // namespace ulib
