// The about box's texts. The licence wording is the libraries' own; only the version lines and the
// headings are ours.
#include "SAboutText.h"

#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace about_text {

namespace {

#define HUEDRANE_STRINGIZE_(x) #x
#define HUEDRANE_STRINGIZE(x) HUEDRANE_STRINGIZE_(x)

// The libjpeg API level the headers declare (62 reads as 6.2).
std::string JpegApiLevel()
{
    return std::to_string(JPEG_LIB_VERSION / 10) + "." + std::to_string(JPEG_LIB_VERSION % 10);
}

std::string JpegVersion()
{
#if defined(LIBJPEG_TURBO_VERSION)
    // libjpeg-turbo defines its version as bare tokens (2.1.5), not as a string.
    return std::string("libjpeg-turbo ") + HUEDRANE_STRINGIZE(LIBJPEG_TURBO_VERSION) + ", libjpeg API " + JpegApiLevel();
#else
    return "libjpeg API " + JpegApiLevel();
#endif
}

std::string BuildTool()
{
#if defined(__clang__)
    return "clang " + std::string(__clang_version__);
#elif defined(__GNUC__)
    return "GCC " + std::string(__VERSION__);
#else
    return "a C++20 compiler";
#endif
}

constexpr const char* PngLicence =
    "PNG Reference Library License version 2\n"
    "\n"
    " * Copyright (c) 1995-2022 The PNG Reference Library Authors.\n"
    " * Copyright (c) 2018-2022 Cosmin Truta.\n"
    " * Copyright (c) 2000-2002, 2004, 2006-2018 Glenn Randers-Pehrson.\n"
    " * Copyright (c) 1996-1997 Andreas Dilger.\n"
    " * Copyright (c) 1995-1996 Guy Eric Schalnat, Group 42, Inc.\n"
    "\n"
    "The software is supplied \"as is\", without warranty of any kind, express or implied, including, "
    "without limitation, the warranties of merchantability, fitness for a particular purpose, title, "
    "and non-infringement. In no event shall the Copyright owners, or anyone distributing the software, "
    "be liable for any damages or other liability, whether in contract, tort or otherwise, arising from, "
    "out of, or in connection with the software, or the use or other dealings in the software, even if "
    "advised of the possibility of such damage.\n"
    "\n"
    "Permission is hereby granted to use, copy, modify, and distribute this software, or portions "
    "hereof, for any purpose, without fee, subject to the following restrictions:\n"
    "\n"
    " 1. The origin of this software must not be misrepresented; you must not claim that you wrote the "
    "original software. If you use this software in a product, an acknowledgment in the product "
    "documentation would be appreciated, but is not required.\n"
    " 2. Altered source versions must be plainly marked as such, and must not be misrepresented as "
    "being the original software.\n"
    " 3. This Copyright notice may not be removed or altered from any source or altered source "
    "distribution.\n";

constexpr const char* ZlibLicence =
    "Copyright (C) 1995-2022 Jean-loup Gailly and Mark Adler\n"
    "\n"
    "This software is provided 'as-is', without any express or implied warranty. In no event will the "
    "authors be held liable for any damages arising from the use of this software.\n"
    "\n"
    "Permission is granted to anyone to use this software for any purpose, including commercial "
    "applications, and to alter it and redistribute it freely, subject to the following restrictions:\n"
    "\n"
    " 1. The origin of this software must not be misrepresented; you must not claim that you wrote the "
    "original software. If you use this software in a product, an acknowledgment in the product "
    "documentation would be appreciated but is not required.\n"
    " 2. Altered source versions must be plainly marked as such, and must not be misrepresented as "
    "being the original software.\n"
    " 3. This notice may not be removed or altered from any source distribution.\n";

constexpr const char* JpegLicence =
    "This software is based in part on the work of the Independent JPEG Group.\n"
    "\n"
    "The JPEG library used is libjpeg-turbo:\n"
    "Copyright (C) 2009-2023 D. R. Commander. All Rights Reserved.\n"
    "Copyright (C) 2015 Viktor Szathmary. All Rights Reserved.\n"
    "\n"
    "Redistribution and use in source and binary forms, with or without modification, are permitted "
    "provided that the following conditions are met:\n"
    " - Redistributions of source code must retain the above copyright notice, this list of conditions "
    "and the following disclaimer.\n"
    " - Redistributions in binary form must reproduce the above copyright notice, this list of "
    "conditions and the following disclaimer in the documentation and/or other materials provided "
    "with the distribution.\n"
    " - Neither the name of the libjpeg-turbo Project nor the names of its contributors may be used to "
    "endorse or promote products derived from this software without specific prior written "
    "permission.\n"
    "\n"
    "THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS AND CONTRIBUTORS \"AS IS\", AND ANY EXPRESS OR "
    "IMPLIED WARRANTIES, INCLUDING, BUT NOT LIMITED TO, THE IMPLIED WARRANTIES OF MERCHANTABILITY AND "
    "FITNESS FOR A PARTICULAR PURPOSE ARE DISCLAIMED. IN NO EVENT SHALL THE COPYRIGHT HOLDERS OR "
    "CONTRIBUTORS BE LIABLE FOR ANY DIRECT, INDIRECT, INCIDENTAL, SPECIAL, EXEMPLARY, OR CONSEQUENTIAL "
    "DAMAGES (INCLUDING, BUT NOT LIMITED TO, PROCUREMENT OF SUBSTITUTE GOODS OR SERVICES; LOSS OF USE, "
    "DATA, OR PROFITS; OR BUSINESS INTERRUPTION) HOWEVER CAUSED AND ON ANY THEORY OF LIABILITY, WHETHER "
    "IN CONTRACT, STRICT LIABILITY, OR TORT (INCLUDING NEGLIGENCE OR OTHERWISE) ARISING IN ANY WAY OUT "
    "OF THE USE OF THIS SOFTWARE, EVEN IF ADVISED OF THE POSSIBILITY OF SUCH DAMAGE.\n";

constexpr const char* QtLicence =
    "Copyright (C) The Qt Company Ltd. and other contributors.\n"
    "\n"
    "Qt is used under the terms of the GNU Lesser General Public License version 3 (LGPLv3), "
    "https://www.gnu.org/licenses/lgpl-3.0.html. The program links Qt as shared libraries, which you "
    "may replace with your own modified build of the same version. The Qt source code is available "
    "from https://download.qt.io/ and, on request, from whoever distributed this program to you.\n";

constexpr const char* TiffLicence =
    "Used by the TIFF picture plug-in.\n"
    "Copyright (c) 1988-1997 Sam Leffler\n"
    "Copyright (c) 1991-1997 Silicon Graphics, Inc.\n"
    "\n"
    "Permission to use, copy, modify, distribute, and sell this software and its documentation for any "
    "purpose is hereby granted without fee, provided that (i) the above copyright notices and this "
    "permission notice appear in all copies of the software and related documentation, and (ii) the "
    "names of Sam Leffler and Silicon Graphics may not be used in any advertising or publicity relating "
    "to the software without the specific, prior written permission of Sam Leffler and Silicon "
    "Graphics.\n"
    "\n"
    "THE SOFTWARE IS PROVIDED \"AS-IS\" AND WITHOUT WARRANTY OF ANY KIND, EXPRESS, IMPLIED OR OTHERWISE, "
    "INCLUDING WITHOUT LIMITATION, ANY WARRANTY OF MERCHANTABILITY OR FITNESS FOR A PARTICULAR "
    "PURPOSE.\n"
    "\n"
    "IN NO EVENT SHALL SAM LEFFLER OR SILICON GRAPHICS BE LIABLE FOR ANY SPECIAL, INCIDENTAL, INDIRECT "
    "OR CONSEQUENTIAL DAMAGES OF ANY KIND, OR ANY DAMAGES WHATSOEVER RESULTING FROM LOSS OF USE, DATA "
    "OR PROFITS, WHETHER OR NOT ADVISED OF THE POSSIBILITY OF DAMAGE, AND ON ANY THEORY OF LIABILITY, "
    "ARISING OUT OF OR IN CONNECTION WITH THE USE OR PERFORMANCE OF THIS SOFTWARE.\n";

void AddSection(std::string& text, const std::string& heading, const char* body)
{
    text += "\n----------------------------------------\n";
    text += heading;
    text += "\n\n";
    text += body;
}

}  // namespace

const char* Title()
{
    return "Huedrane ver1.4";
}

const char* Maker()
{
    return "Huedrane developers";
}

SLinkedVersions LinkedVersions(std::string_view qtVersion)
{
    SLinkedVersions versions;
    const char* png = png_get_libpng_ver(nullptr);
    versions.png = png ? png : PNG_LIBPNG_VER_STRING;
    const char* zlib = zlibVersion();
    versions.zlib = zlib ? zlib : ZLIB_VERSION;
    versions.jpeg = JpegVersion();
    versions.qt = std::string(qtVersion);
    return versions;
}

std::string Notices(const SLinkedVersions& versions)
{
    std::string text;
    text += Title();
    text += "\n";
    text += Maker();
    text += "\nBuilt with ";
    text += BuildTool();
    text += ".\n\nThis program uses the following libraries. Their licences ask for these notices.\n";
    AddSection(text, "libpng " + versions.png, PngLicence);
    AddSection(text, "zlib " + versions.zlib, ZlibLicence);
    AddSection(text, "The Independent JPEG Group's JPEG software (" + versions.jpeg + ")", JpegLicence);
    AddSection(text, "Qt " + versions.qt, QtLicence);
    AddSection(text, "libtiff", TiffLicence);
    return text;
}

}  // namespace about_text
