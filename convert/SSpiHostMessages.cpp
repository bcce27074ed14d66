// Keeping and passing on the first lines a plug-in writes to its standard error.
#include "SSpiHostMessages.h"

#include <errno.h>
#include <unistd.h>

#include <string_view>

namespace ulib {

bool SSpiHostMessages::Read(int fd)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            Take(buffer, std::size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

void SSpiHostMessages::Take(const char* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size && lines_.size() < MaxLines; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            lines_.push_back(std::move(partial_));
            partial_.clear();
        } else if (partial_.size() < MaxLineBytes) {
            // Nothing a plug-in writes may steer the terminal it ends up on.
            partial_ += c < ' ' || c == 0x7F ? '?' : char(c);
        }
    }
}

std::string SSpiHostMessages::Text(const SString& pluginPath) const
{
    std::string_view name = pluginPath.View();
    name = name.substr(name.rfind('/') + 1);
    std::vector<std::string> lines = lines_;
    if (!partial_.empty() && lines.size() < MaxLines)
        lines.push_back(partial_);
    std::string text;
    for (const std::string& line : lines)
        text.append("huedrane-spi-host: ").append(name).append(": ").append(line).append("\n");
    return text;
}

void SSpiHostMessages::PassOn(const SString& pluginPath) const
{
    const std::string text = Text(pluginPath);
    if (!text.empty())
        (void)!write(STDERR_FILENO, text.data(), text.size());
}

}  // namespace ulib
