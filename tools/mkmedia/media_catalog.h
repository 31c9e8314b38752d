// The files the generator writes: each name with the function that makes its bytes. The list is
// the one place that says which files the show gets; main and the preview walk it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mkmedia {

struct MediaFile {
    std::string name;
    std::function<std::vector<uint8_t>()> make;
};

const std::vector<MediaFile>& MediaCatalog();

} // namespace mkmedia
