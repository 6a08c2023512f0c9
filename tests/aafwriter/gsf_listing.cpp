#include "gsf_listing.h"

#include <gsf/gsf.h>

namespace tessel::testing {
namespace {

void CollectMessage(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer data) {
    auto* messages = static_cast<std::vector<std::string>*>(data);
    messages->push_back(std::string(domain != nullptr ? domain : "") + ": " +
                        (message != nullptr ? message : ""));
}

void Walk(GsfInfile* storage, const std::string& path, GsfListing& listing) {
    GsfNode& node = listing.nodes[path];
    node.isStorage = true;
    gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(storage), node.clsid.data());
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        GsfInput* child = gsf_infile_child_by_index(storage, i);
        const char* name = gsf_infile_name_by_index(storage, i);
        const std::string childPath = path.empty() ? name : path + "/" + name;
        if (gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
            Walk(GSF_INFILE(child), childPath, listing);
        } else {
            GsfNode& stream = listing.nodes[childPath];
            const auto size = static_cast<std::size_t>(gsf_input_size(child));
            stream.data.resize(size);
            if (size > 0 && gsf_input_read(child, size, stream.data.data()) == nullptr) {
                listing.messages.push_back("short read of " + childPath);
            }
        }
        g_object_unref(child);
    }
}

}  // namespace

GsfListing ListWithGsf(const std::string& path) {
    static const bool initialised = [] {
        gsf_init();
        return true;
    }();
    (void)initialised;
    GsfListing listing;
    const guint handler =
        g_log_set_handler(nullptr, static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL),
                          CollectMessage, &listing.messages);
    const guint gsfHandler = g_log_set_handler(
        "libgsf:msole", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL),
        CollectMessage, &listing.messages);
    const GLogFunc previous = g_log_set_default_handler(CollectMessage, &listing.messages);
    GError* error = nullptr;
    GsfInput* input = gsf_input_stdio_new(path.c_str(), &error);
    GsfInfile* root = input != nullptr ? gsf_infile_msole_new(input, &error) : nullptr;
    if (root != nullptr) {
        listing.opened = true;
        Walk(root, "", listing);
        g_object_unref(root);
    } else if (error != nullptr) {
        listing.error = error->message;
    }
    if (error != nullptr) {
        g_error_free(error);
    }
    if (input != nullptr) {
        g_object_unref(input);
    }
    g_log_set_default_handler(previous, nullptr);
    g_log_remove_handler("libgsf:msole", gsfHandler);
    g_log_remove_handler(nullptr, handler);
    return listing;
}

bool GsfAvailable() {
    return true;
}

}  // namespace tessel::testing
