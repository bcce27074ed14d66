/* Files "LIE<n>": a 4 x 4 8-bit picture whose blocks do not hold what the header claims.
 *   LIE1  pixel block of 8 bytes (the area is 16)
 *   LIE2  information block of 20 bytes
 *   LIE3  no pixel block at all
 *   LIE4  a header claiming 12001 x 4 pixels
 *   LIE5  a header claiming 4-bit run-length compression */
#include "TestPlugin.h"

static const char* const texts[] = {"00IN", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "LIE");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)length, (void)flag, (void)progress, (void)progressData;
    const char kind = data[3];
    int code = MakePicture(4, 4, 5, kind == '1' ? 8 : 0, info, pixels);
    if (code != SPI_SUCCESS)
        return code;
    unsigned char* header = (unsigned char*)SpiData(*info);
    if (kind == '2') {
        SpiHandle shorter = SpiAlloc(20);
        memcpy(SpiData(shorter), header, 20);
        SpiFree(*info);
        *info = shorter;
    } else if (kind == '3') {
        SpiFree(*pixels);
        *pixels = NULL;
    } else if (kind == '4') {
        Put32(header + 4, 12001);
    } else if (kind == '5') {
        header[14] = 4;
        Put32(header + 16, 2);
    }
    return SPI_SUCCESS;
}
