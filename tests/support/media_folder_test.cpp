#include "support/media_folder_test.h"

#include <unistd.h>

#include <cstdlib>

#include "texture/texture_store.h"

namespace fs = std::filesystem;

namespace test_files {

void MediaFolderTest::SetUp() {
    root_ = fs::temp_directory_path() / ("lumenfall-media-" + std::to_string(getpid()));
    fs::remove_all(root_);
    work_ = root_ / "work";
    media_ = root_ / "samples" / "Marlow" / "Media";
    fs::create_directories(work_);
    fs::create_directories(media_);
    previousDirectory_ = fs::current_path();
    fs::current_path(work_);
    if (const char* old = std::getenv("LUMENFALL_REGISTRY")) {
        previousRegistry_ = old;
        hadRegistry_ = true;
    }
    registryFile_ = (root_ / "registry.ini").string();
    setenv("LUMENFALL_REGISTRY", registryFile_.c_str(), 1);
    SetSamplesPath((root_ / "samples").string());
}

void MediaFolderTest::TearDown() {
    while (textureStore.head != nullptr) {
        RemoveTexture(textureStore.head->name);
    }
    fs::current_path(previousDirectory_);
    if (hadRegistry_) {
        setenv("LUMENFALL_REGISTRY", previousRegistry_.c_str(), 1);
    } else {
        unsetenv("LUMENFALL_REGISTRY");
    }
    fs::remove_all(root_);
}

void MediaFolderTest::SetSamplesPath(const std::string& value) {
    const std::string text = "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\n"
                             "Kestrel Samples Path=" +
                             value + "\n";
    test_images::WriteFile(registryFile_, test_images::Bytes(text.begin(), text.end()));
}

void MediaFolderTest::InWork(const std::string& name, const test_images::Bytes& bytes) {
    test_images::WriteFile((work_ / name).string(), bytes);
}

void MediaFolderTest::InMedia(const std::string& name, const test_images::Bytes& bytes) {
    test_images::WriteFile((media_ / name).string(), bytes);
}

} // namespace test_files
