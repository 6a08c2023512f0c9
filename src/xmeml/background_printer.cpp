#include "xmeml/background_printer.h"

#include <utility>

namespace {

// Inside the root there is no whitespace at all (as FCXmlDocument prints it).
constexpr unsigned kPrintFormat = pugi::format_raw;

}  // namespace

BackgroundPrinter::BackgroundPrinter(pugi::xml_writer& out) : out_(out) {
    thread_ = std::thread([this] { Run(); });
}

BackgroundPrinter::~BackgroundPrinter() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BackgroundPrinter::Write(std::string text) {
    Push(std::move(text));
}

void BackgroundPrinter::PrintChildren(std::unique_ptr<pugi::xml_document> document) {
    Push(std::move(document));
}

void BackgroundPrinter::Push(Part part) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting; });
    waiting_.push_back(std::move(part));
    lock.unlock();
    changed_.notify_all();
}

void BackgroundPrinter::Finish() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
}

void BackgroundPrinter::Run() {
    for (;;) {
        Part part;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !waiting_.empty() || closed_; });
            if (waiting_.empty()) {
                return;
            }
            part = std::move(waiting_.front());
            waiting_.pop_front();
        }
        changed_.notify_all();
        // After a failure the rest is taken off the queue unprinted, so that the builder never
        // waits for a thread that has stopped writing.
        if (failure_) {
            continue;
        }
        try {
            if (const std::string* text = std::get_if<std::string>(&part)) {
                out_.write(text->data(), text->size());
            } else {
                const pugi::xml_node holder = std::get<1>(part)->first_child();
                for (pugi::xml_node child : holder.children()) {
                    child.print(out_, "", kPrintFormat, pugi::encoding_utf8);
                }
            }
        } catch (...) {
            failure_ = std::current_exception();
        }
    }
}
