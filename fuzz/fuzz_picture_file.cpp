// A picture file as the program is handed one: the JPEG, GIF or BMP header (the frame
// header walk, the GIF screen, the BMP header and the bomb check), the EXIF orientation and
// thumbnail, and the pixels, DCT-scaled for a JPEG. The bytes are the whole file, so a
// finding is a picture file that reproduces in the program as it is.
#include "PictureFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PictureFuzz::Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static PictureFuzz::ScratchFile scratch;
    // The display box varies with the length: natural size, or a half, quarter or eighth.
    static const int divisors[] = {0, 2, 4, 8};
    PictureFuzz::Exercise(scratch.Write(reinterpret_cast<const char*>(data), size), divisors[size % 4]);
    return 0;
}
