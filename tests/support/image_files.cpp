#include "support/image_files.h"

#include <fstream>
#include <stdexcept>

namespace test_images {
namespace {

void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

Bytes BuildBmp(const BmpLayout& layout) {
    Bytes info;
    Put32(info, layout.headerSize);
    if (layout.headerSize == 12) {
        Put16(info, static_cast<uint32_t>(layout.width));
        Put16(info, static_cast<uint32_t>(layout.height));
        Put16(info, layout.planes);
        Put16(info, layout.bitCount);
    } else {
        Put32(info, static_cast<uint32_t>(layout.width));
        Put32(info, static_cast<uint32_t>(layout.height));
        Put16(info, layout.planes);
        Put16(info, layout.bitCount);
        Put32(info, layout.compression);
        Put32(info, static_cast<uint32_t>(layout.pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        const int64_t used =
            layout.colorsUsed >= 0 ? layout.colorsUsed : static_cast<int64_t>(layout.colors.size());
        Put32(info, static_cast<uint32_t>(used));
        Put32(info, 0);
        if (layout.headerSize > 40) {
            for (size_t i = 0; i < 3; ++i) {
                Put32(info, i < layout.masks.size() ? layout.masks[i] : 0);
            }
        }
        info.resize(layout.headerSize, 0);
    }
    Bytes afterHeader;
    if (layout.headerSize == 40) {
        for (uint32_t mask : layout.masks) {
            Put32(afterHeader, mask);
        }
    }
    for (const BmpColor& c : layout.colors) {
        afterHeader.push_back(c.b);
        afterHeader.push_back(c.g);
        afterHeader.push_back(c.r);
        if (layout.headerSize != 12) {
            afterHeader.push_back(0);
        }
    }
    const int64_t naturalOffset = 14 + static_cast<int64_t>(info.size() + afterHeader.size());
    const int64_t offset = layout.pixelOffset >= 0 ? layout.pixelOffset : naturalOffset;
    Bytes file;
    file.push_back('B');
    file.push_back('M');
    Put32(file, static_cast<uint32_t>(naturalOffset + layout.pixels.size()));
    Put32(file, 0);
    Put32(file, static_cast<uint32_t>(offset));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), afterHeader.begin(), afterHeader.end());
    if (offset > naturalOffset && offset < (int64_t{1} << 20)) {
        file.resize(static_cast<size_t>(offset), 0);
    }
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

Bytes PadRows(const std::vector<Bytes>& rowsTopToBottom, bool topDown) {
    Bytes out;
    for (size_t i = 0; i < rowsTopToBottom.size(); ++i) {
        const Bytes& row = rowsTopToBottom[topDown ? i : rowsTopToBottom.size() - 1 - i];
        out.insert(out.end(), row.begin(), row.end());
        out.resize(out.size() + (4 - row.size() % 4) % 4, 0);
    }
    return out;
}

Bytes BuildTga(const TgaLayout& layout) {
    Bytes out;
    out.push_back(layout.idLength);
    out.push_back(layout.colorMapType);
    out.push_back(layout.imageType);
    for (int i = 0; i < 5; ++i) {
        out.push_back(0);
    }
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, layout.width);
    Put16(out, layout.height);
    out.push_back(layout.pixelDepth);
    out.push_back(layout.descriptor);
    out.insert(out.end(), layout.body.begin(), layout.body.end());
    return out;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace test_images
