// "data/translation.lang" through the UTF-8 facet and the text table.
#include "core/CTranslation.h"
#include "tests/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = writeFuzzFile("translation.lang", data, size);
    CTranslation texts(path.c_str());
    size_t length = 0;
    for (const std::wstring& text : texts.texts)
        length += text.size();
    (void)length;
    return 0;
}
