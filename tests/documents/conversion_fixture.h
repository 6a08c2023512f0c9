#pragma once

// Converting a built AAF file in a folder of its own and reading the document back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "aafwriter/builder.h"
#include "job/conversion_job.h"
#include "model/log.h"
#include "strict_xml.h"

class ConversionFixture : public ::testing::Test, public LogTarget {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessel-documents-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        previousFolder_ = std::filesystem::current_path();
        // Relative paths must not resolve by accident in the input's folder.
        std::filesystem::create_directories(folder_ / "elsewhere");
        std::filesystem::current_path(folder_ / "elsewhere");
    }
    void TearDown() override {
        std::filesystem::current_path(previousFolder_);
        std::filesystem::remove_all(folder_);
    }

    void TakeLogLine(int kind, std::string line) override {
        lines_.emplace_back(kind, std::move(line));
    }

    std::string Write(const std::string& relative, const std::string& content) {
        const std::filesystem::path path = folder_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    /// Writes the AAF file to `relative`, converts it and loads the document.
    ConversionStatus Convert(tessel::aafwriter::AafBuilder& builder, const std::string& relative,
                             std::vector<std::string> titleFolders = {}) {
        const std::filesystem::path input = folder_ / relative;
        std::filesystem::create_directories(input.parent_path());
        const auto written = builder.Write(input.string());
        EXPECT_TRUE(written.ok()) << written.message;
        output_ = (folder_ / "out.xml").string();

        struct Client : ConversionClient {
            void PostConversionDone(ConversionStatus done) override { status = done; }
            ConversionStatus status = ConversionStatus::kAborted;
        } client;
        ConversionRequest request;
        request.inputPath = input.string();
        request.outputPath = output_;
        request.titleFolders = std::move(titleFolders);
        lines_.clear();
        SetLogTarget(this);
        ConversionThread(request, &client);
        SetLogTarget(nullptr);
        if (client.status == ConversionStatus::kSucceeded) {
            EXPECT_EQ(tessel::test::StrictXmlErrors(output_), "") << output_;
        }
        document_.load_file(output_.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
        return client.status;
    }

    std::string Text(const std::string& xpath) const {
        return document_.select_node(xpath.c_str()).node().text().get();
    }
    size_t Count(const std::string& xpath) const {
        return document_.select_nodes(xpath.c_str()).size();
    }
    std::vector<std::string> LinesOfKind(int kind) const {
        std::vector<std::string> found;
        for (const auto& [lineKind, line] : lines_) {
            if (lineKind == kind) {
                found.push_back(line);
            }
        }
        return found;
    }

    /// 0 when the document is valid against the xmeml DTD (or the shared DTD is absent);
    /// otherwise the parser's messages are reported as a failure.
    int ValidateAgainstDtd() const {
        if (!std::filesystem::exists(TESSEL_XMEML_DTD)) {
            return 0;
        }
        const std::string errors = tessel::test::DtdErrors(output_, TESSEL_XMEML_DTD);
        EXPECT_EQ(errors, "") << output_;
        return errors.empty() ? 0 : 1;
    }

    std::filesystem::path folder_;
    std::filesystem::path previousFolder_;
    std::string output_;
    pugi::xml_document document_;
    std::vector<std::pair<int, std::string>> lines_;
};

/// A title media file as EDIUS exports it: a picture slot whose locator is the title document.
inline tessel::aafwriter::MediaRef AddTitleMedia(tessel::aafwriter::AafBuilder& builder,
                                                 const std::string& name, const std::string& path) {
    tessel::aafwriter::MediaSpec spec;
    spec.name = name;
    spec.path = path;
    return builder.AddMedia(spec);
}

inline std::string TitleDocument(const std::string& text, const std::string& font,
                                 const std::string& size, int textObjects = 1) {
    std::string objects;
    for (int i = 0; i < textObjects; ++i) {
        objects += "<CCtsTextObject><CCtsTitleObject><m_sText>" + text + "</m_sText><m_sFontName>" +
                   font + "</m_sFontName><TitleFont><iSize>" + size +
                   "</iSize></TitleFont></CCtsTitleObject></CCtsTextObject>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TitleDocument><m_TitleObList>" + objects +
           "</m_TitleObList></TitleDocument>\n";
}
