#include "media_catalog.h"

#include "art.h"
#include "bmp_writer.h"
#include "models.h"
#include "tga_writer.h"
#include "xfile_writer.h"

namespace mkmedia {

const std::vector<MediaFile>& MediaCatalog() {
    static const std::vector<MediaFile> catalog = {
        {"title.bmp", [] { return EncodeBmp24(PaintTitle()); }},
        {"nosound.bmp", [] { return EncodeBmp24(PaintCaption()); }},
        {"misc.bmp", [] { return EncodeBmp24(PaintMisc()); }},
        {"file.bmp", [] { return EncodeBmp24(PaintFile()); }},
        {"the_end.bmp", [] { return EncodeBmp24(PaintTheEnd()); }},
        {"object.1", [] { return WriteXText(BuildOrrery()); }},
        {"object.2", [] { return WriteXBinary(BuildSpark()); }},
        {"object.3", [] { return WriteXText(BuildBlade()); }},
        {"gleam.tga",
         [] {
             std::vector<double> alpha;
             RgbImage image = PaintGleam(&alpha);
             return EncodeTgaRle32(image, alpha, "lumenfall gleam");
         }},
    };
    return catalog;
}

} // namespace mkmedia
