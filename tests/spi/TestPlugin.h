/* Shared pieces of the test plug-ins: the info texts and a small picture in the blocks the
 * program expects. Each plug-in's first bytes select what it does, so one file drives one case. */
#ifndef HUEDRANE_TEST_PLUGIN_H
#define HUEDRANE_TEST_PLUGIN_H

#include "SusiePlugin.h"

#include <string.h>

/* Every plug-in exports GetPictureInfo; the program never calls it. */
#define TEST_PLUGIN_PICTURE_INFO_UNUSED                                                   \
    SPI_EXPORT int GetPictureInfo(const char* data, long length, unsigned flag, void* info) \
    {                                                                                     \
        (void)data, (void)length, (void)flag, (void)info;                                 \
        return SPI_OTHER_ERROR;                                                           \
    }

/* Info texts: number 0 the version, then pattern and description pairs; NULL ends the list. */
static inline int AnswerInfo(const char* const* texts, int number, char* buffer, int length)
{
    for (int i = 0; texts[i]; ++i) {
        if (i == number) {
            int n = (int)strlen(texts[i]);
            if (n >= length)
                n = length - 1;
            memcpy(buffer, texts[i], (size_t)n);
            buffer[n] = 0;
            return n;
        }
    }
    return 0;
}

static inline int StartsWith(const void* data, const char* text)
{
    return memcmp(data, text, strlen(text)) == 0;
}

static inline void Put32(unsigned char* at, unsigned value)
{
    at[0] = (unsigned char)value;
    at[1] = (unsigned char)(value >> 8);
    at[2] = (unsigned char)(value >> 16);
    at[3] = (unsigned char)(value >> 24);
}

/* An 8-bit picture with a grey colour table: the info block, and a zeroed pixel block of
 * pixelSize bytes (the full area when 0). The x resolution carries `mark`, so a test can tell
 * which plug-in made the picture. */
static inline int MakePicture(int width, int height, unsigned mark, size_t pixelSize, SpiHandle* info, SpiHandle* pixels)
{
    size_t stride = ((size_t)width + 3) & ~(size_t)3;
    *info = SpiAlloc(40 + 256 * 4);
    *pixels = SpiAlloc(pixelSize ? pixelSize : stride * (size_t)height);
    if (!*info || !*pixels) {
        SpiFree(*info);
        SpiFree(*pixels);
        *info = *pixels = NULL;
        return SPI_NO_MEMORY;
    }
    unsigned char* header = (unsigned char*)SpiData(*info);
    Put32(header, 40);
    Put32(header + 4, (unsigned)width);
    Put32(header + 8, (unsigned)height);
    header[12] = 1;
    header[14] = 8;
    Put32(header + 24, 1000 + mark);
    Put32(header + 28, 2000);
    for (unsigned i = 0; i < 256; ++i)
        Put32(header + 40 + i * 4, i * 0x010101u);
    return SPI_SUCCESS;
}

#endif
