// A fixture for tests of files the program looks for in two places: a working folder the test
// runs in, and the media folder (samples/Marlow/Media) that a registry file of the test's own
// names. The working directory and LUMENFALL_REGISTRY are put back and the texture store is
// emptied afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/image_files.h"

namespace test_files {

class MediaFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The registry's samples path, as written (the media folder is below it).
    void SetSamplesPath(const std::string& value);
    void InWork(const std::string& name, const test_images::Bytes& bytes);
    void InMedia(const std::string& name, const test_images::Bytes& bytes);

    std::filesystem::path root_, work_, media_;

private:
    std::filesystem::path previousDirectory_;
    std::string registryFile_, previousRegistry_;
    bool hadRegistry_ = false;
};

} // namespace test_files
