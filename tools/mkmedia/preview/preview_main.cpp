// lumenfall-mkmedia-preview <folder>: renders pictures for judging the media by eye.
//   pictures.png  the six pictures as written, on black, with their names
//   models.png    the three models, z-buffered from three sides and added like the show does
//   scene-*.png   frames of the five scenes as the show composes them
//   film.png      each scene at four moments, half size
#include "art.h"
#include "media_catalog.h"
#include "models.h"
#include "png_file.h"
#include "preview_sheet.h"
#include "scene_mockups.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// The picture as the show adds it to its dark blue clear colour, `gain` times over.
mkmedia::RgbImage OnShowBlue(const mkmedia::RgbImage& image, double gain) {
    mkmedia::RgbImage out(image.Width(), image.Height());
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            out.Set(x, y, mkmedia::Rgb8(0x00, 0x18, 0x43) + image.At(x, y) * gain);
        }
    }
    return out;
}

bool Save(const std::string& path, const mkmedia::RgbImage& image) {
    if (!mkmedia::WritePng(path, image)) {
        std::fprintf(stderr, "lumenfall-mkmedia-preview: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> [pictures|models|scenes]...\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    auto wanted = [&](const char* what) {
        if (argc == 2) {
            return true;
        }
        for (int i = 2; i < argc; ++i) {
            if (std::string(argv[i]) == what) {
                return true;
            }
        }
        return false;
    };
    using namespace mkmedia;
    ShowMedia media{DecodeCatalogBmp("title.bmp"),   DecodeCatalogBmp("nosound.bmp"),
                    DecodeCatalogBmp("misc.bmp"),    DecodeCatalogBmp("file.bmp"),
                    DecodeCatalogBmp("the_end.bmp"), LoadAsShow(BuildOrrery()),
                    LoadAsShow(BuildSpark()),        LoadAsShow(BuildBlade())};
    bool ok = true;
    if (wanted("pictures")) {
        ok = Save(folder + "/pictures.png", PictureSheet(media)) && ok;
        ok = Save(folder + "/shown-title.png", OnShowBlue(Stretched(media.title, 900, 300), 2.0)) &&
             ok;
        ok = Save(folder + "/shown-the_end.png",
                  OnShowBlue(Stretched(media.theEnd, 780, 520), 1.0)) &&
             ok;
    }
    if (wanted("models")) {
        ok = Save(folder + "/models.png", ModelSheet(media)) && ok;
    }
    if (wanted("scenes")) {
        ok = Save(folder + "/scene-title.png", RenderTitleScene(media, 9.0)) && ok;
        ok = Save(folder + "/scene-swarm.png", RenderSwarmScene(media, 7.0)) && ok;
        ok = Save(folder + "/scene-planes.png", RenderPlaneScene(media, 10.0)) && ok;
        ok = Save(folder + "/scene-rosette.png", RenderRosetteScene(media, 9.0)) && ok;
        ok = Save(folder + "/scene-chains.png", RenderFinaleScene(media, 10.0)) && ok;
        ok = Save(folder + "/scene-end.png", RenderFinaleScene(media, 33.0)) && ok;
    }
    if (wanted("film")) {
        ok = Save(folder + "/film.png", FilmStrip(media)) && ok;
    }
    return ok ? 0 : 1;
}
