#include <orvane/version.h>

const char* getVersion(void) {
    // The builder's word, the build date and time, the product and its
    // release, each followed by one blank; fixed when the library is built.
    static constexpr char text[] = "Orvane " __DATE__ " " __TIME__ " Merrowix_API 2.1.0b ";
    return text;
}
