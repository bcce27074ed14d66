/* Picture plug-in interface: what a Huedrane picture plug-in (an ELF shared object named *.spi)
 * exports and how it hands pictures back.
 *
 * A plug-in exports these C functions by name:
 *   GetPluginInfo   info 0: the interface version, beginning with "00IN"; info 2k and 2k+1
 *                   (k >= 1): a file pattern ("*.tif;*.tiff") and its description.
 *   IsSupported     whether the plug-in reads this file; at least 2048 bytes of its start are given.
 *   GetPictureInfo  must be exported; the program never calls it.
 *   GetPreview      may be exported; never called.
 *   GetPicture      reads the whole file from memory (flag 1) and returns two blocks allocated with
 *                   SpiAlloc: a packed BITMAPINFO (40-byte little-endian header, then the colour
 *                   table) and the pixel rows, bottom-up, each padded to 4 bytes, as in a BMP file.
 *                   A 32-bit picture with straight alpha in its fourth byte has a V4 or V5 header
 *                   instead, bit fields B, G, R, A (masks 00FF0000, 0000FF00, 000000FF, FF000000).
 *
 * Blocks carry their own size, so the program checks every size a plug-in claims against the
 * bytes it really allocated: always allocate with SpiAlloc; the program frees the blocks.
 *
 * GetPicture results: 0 success, 1 aborted by the progress function, 2 not this plug-in's format,
 * 3 broken file, 4 out of memory, 5 memory error, 6 file read error, 7 other plug-in error. */
#ifndef HUEDRANE_SUSIE_PLUGIN_H
#define HUEDRANE_SUSIE_PLUGIN_H

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SPI_EXPORT __attribute__((visibility("default")))

enum {
    SPI_SUCCESS = 0,
    SPI_ABORT = 1,
    SPI_NOT_SUPPORTED = 2,
    SPI_BAD_FORMAT = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_OTHER_ERROR = 7
};

/* Input from memory: the first argument of GetPicture is the file's bytes. */
#define SPI_INPUT_MEMORY 1

/* A block handed from the plug-in to the program. */
typedef struct SpiBlock* SpiHandle;

struct SpiBlock {
    uint64_t magic; /* SPI_BLOCK_MAGIC */
    uint64_t size;  /* bytes of data after this header */
};

#define SPI_BLOCK_MAGIC 0x6b636f6c42697053ull /* "SpiBlock" */

/* Zero-filled block of size bytes, or NULL. */
static inline SpiHandle SpiAlloc(size_t size)
{
    if (size > SIZE_MAX - sizeof(struct SpiBlock))
        return NULL;
    SpiHandle block = (SpiHandle)calloc(1, sizeof(struct SpiBlock) + size);
    if (block) {
        block->magic = SPI_BLOCK_MAGIC;
        block->size = size;
    }
    return block;
}

static inline void* SpiData(SpiHandle block) { return block ? (void*)(block + 1) : NULL; }
static inline size_t SpiSize(SpiHandle block) { return block && block->magic == SPI_BLOCK_MAGIC ? (size_t)block->size : 0; }
static inline void SpiFree(SpiHandle block) { free(block); }

/* Progress: return non-zero to ask the plug-in to stop (it then returns SPI_ABORT). */
typedef int (*SpiProgress)(int done, int total, intptr_t data);

typedef int (*SpiGetPluginInfo)(int infoNumber, char* buffer, int bufferLength);
typedef int (*SpiIsSupported)(const char* fileName, const void* firstBytes);
typedef int (*SpiGetPictureInfo)(const char* data, long length, unsigned flag, void* info);
typedef int (*SpiGetPreview)(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                             SpiProgress progress, intptr_t progressData);
typedef int (*SpiGetPicture)(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                             SpiProgress progress, intptr_t progressData);

#ifdef __cplusplus
}
#endif

#endif
