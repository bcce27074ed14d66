// SQuickPress to and from files, through a whole-file mapping. The writer sizes the file once and
// writes the records in place; the mapper's temporary file replaces the target only on success.
#include "SQuickPress.h"

#include "SFileMapper.h"

namespace ulib {

SError SQuickPress::WriteFile(const SString& path) const
{
    SFileMapper file;
    if (const SError err = file.OpenWrite(path))
        return err;
    SError err = file.Resize(ByteSize());
    if (err == 0)
        err = WriteTo(file.Begin(), file.End());
    if (err != 0) {
        // Never let a partial or failed document replace the previous file.
        file.Discard();
        return err;
    }
    return file.Close();
}

SError SQuickPress::ReadFile(const SString& path)
{
    SFileMapper file;
    SError err = file.OpenRead(path);
    if (err == 0)
        err = ReadFrom(file.Begin(), file.End());
    const SError closed = file.Close();
    if (err == 0)
        err = closed;
    if (err != 0)
        Clear();
    return err;
}

}  // namespace ulib
