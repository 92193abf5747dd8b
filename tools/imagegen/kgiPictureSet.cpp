#include "kgiPictureSet.h"

#include <filesystem>
#include <system_error>

std::vector<kgiPictureDef> kgiPictureSet::all() {
    std::vector<kgiPictureDef> out;
    for (auto group : {kgiPictures::application, kgiPictures::toolbar, kgiPictures::timeline,
                       kgiPictures::curveEditor, kgiPictures::canvasToolbar}) {
        const std::vector<kgiPictureDef> pictures = group();
        out.insert(out.end(), pictures.begin(), pictures.end());
    }
    return out;
}

kgiPicture kgiPictureSet::render(const kgiPictureDef& def) {
    kgiPicture picture(def.width, def.height, def.background);
    def.draw(picture);
    return picture;
}

std::string kgiPictureSet::writeAll(const std::string& dataDir) {
    for (const kgiPictureDef& def : all()) {
        const std::filesystem::path path = std::filesystem::path(dataDir) / def.path;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) return path.parent_path().string() + ": " + error.message();
        const kgiPicture picture = render(def);
        const std::string failed = path.extension() == ".ico" ? picture.writeIco(path.string())
                                                              : picture.writeBmp(path.string());
        if (!failed.empty()) return failed;
    }
    return std::string();
}
