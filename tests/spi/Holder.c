/* Files "HOLD" followed by the path of a FIFO: GetPicture opens the FIFO and reads it to its end
 * before it returns a small picture, so a test holds the conversion open until it closes its end. */
#include "TestPlugin.h"

#include <fcntl.h>
#include <unistd.h>

static const char* const texts[] = {"00IN", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "HOLD");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)progress, (void)progressData;
    char path[1024];
    if (flag != SPI_INPUT_MEMORY || length <= 4 || !StartsWith(data, "HOLD"))
        return SPI_NOT_SUPPORTED;
    size_t size = (size_t)(length - 4) < sizeof path - 1 ? (size_t)(length - 4) : sizeof path - 1;
    memcpy(path, data + 4, size);
    path[size] = 0;
    int fd = open(path, O_RDONLY);
    if (fd < 0)
        return SPI_FILE_READ_ERROR;
    char buffer[256];
    while (read(fd, buffer, sizeof buffer) > 0)
        ;
    close(fd);
    return MakePicture(16, 12, 0, 0, info, pixels);
}
