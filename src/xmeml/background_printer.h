#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>

#include <pugixml.hpp>

/// Prints finished parts of a document, and writes text, on a thread of its own, in the order
/// they are handed in: the building of the next clip items goes on while the last ones are
/// printed. At most a bounded number of parts wait, so memory stays flat.
class BackgroundPrinter {
  public:
    /// Starts the thread; everything handed in goes to `out`, which only that thread uses until
    /// `Finish` returns.
    explicit BackgroundPrinter(pugi::xml_writer& out);
    /// Waits for the thread; a failure not yet collected by `Finish` is dropped.
    ~BackgroundPrinter();
    BackgroundPrinter(const BackgroundPrinter&) = delete;
    BackgroundPrinter& operator=(const BackgroundPrinter&) = delete;

    void Write(std::string text);
    /// Prints the children of the document's first element (its own tags are not printed).
    void PrintChildren(std::unique_ptr<pugi::xml_document> document);
    /// Returns once everything handed in is written; rethrows what the thread failed with.
    void Finish();

  private:
    using Part = std::variant<std::string, std::unique_ptr<pugi::xml_document>>;
    void Push(Part part);
    void Run();

    static constexpr std::size_t kMaxWaiting = 64;
    pugi::xml_writer& out_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Part> waiting_;
    bool closed_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};
