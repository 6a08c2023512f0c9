#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "xmeml/background_printer.h"

namespace {

class TextWriter : public pugi::xml_writer {
  public:
    void write(const void* data, size_t size) override {
        if (failAfter_ != std::string::npos && text.size() + size > failAfter_) {
            throw std::runtime_error("disk full");
        }
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
    size_t failAfter_ = std::string::npos;
};

std::unique_ptr<pugi::xml_document> Part(int number) {
    auto part = std::make_unique<pugi::xml_document>();
    pugi::xml_node holder = part->append_child("holder");
    holder.append_child("item").text().set(number);
    holder.append_child("gap");
    return part;
}

TEST(BackgroundPrinterTest, KeepsTheOrderOfTextsAndParts) {
    TextWriter out;
    std::string expected;
    {
        BackgroundPrinter printer(out);
        // More than can wait at once, so that the builder is held back now and then.
        for (int i = 0; i < 500; ++i) {
            printer.Write("<t" + std::to_string(i) + ">");
            printer.PrintChildren(Part(i));
            expected += "<t" + std::to_string(i) + "><item>" + std::to_string(i) + "</item><gap/>";
        }
        printer.Finish();
    }
    EXPECT_EQ(out.text, expected);
}

TEST(BackgroundPrinterTest, AFailureReachesFinishAndNeverHoldsTheBuilderBack) {
    TextWriter out;
    out.failAfter_ = 100;
    BackgroundPrinter printer(out);
    for (int i = 0; i < 500; ++i) {
        printer.PrintChildren(Part(i));
    }
    EXPECT_THROW(printer.Finish(), std::runtime_error);
    EXPECT_LE(out.text.size(), 100u);
}

TEST(BackgroundPrinterTest, LeavingWithoutFinishJoinsTheThread) {
    TextWriter out;
    {
        BackgroundPrinter printer(out);
        printer.Write("abc");
    }
    EXPECT_EQ(out.text, "abc");
}

}  // namespace
