// The built-in resources: the assembler file generated at configure time embeds each file with .incbin, and the
// table it exports names them as they are stored ("res\\BlipSND.ogg").
#include "Resources.h"
#include <cstring>

struct EmbeddedResource {
    const char* Name;
    const unsigned char* Start;
    const unsigned char* End;
};

extern "C" const EmbeddedResource KestrovarResources[];
extern "C" const int KestrovarResourceCount;

ResourceBytes FindResource(const char* storedName) {
    for (int i = 0; i < KestrovarResourceCount; ++i) {
        const EmbeddedResource& r = KestrovarResources[i];
        if (std::strcmp(r.Name, storedName) == 0)
            return ResourceBytes{r.Start, static_cast<std::size_t>(r.End - r.Start)};
    }
    return {};
}

int ResourceCount() { return KestrovarResourceCount; }

const char* ResourceName(int index) {
    if (index < 0 || index >= KestrovarResourceCount) return "";
    return KestrovarResources[index].Name;
}
