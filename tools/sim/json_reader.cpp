#include "tools/sim/json_reader.h"

#include <vector>

#include "tools/sim/host_description.h"
#include "tools/sim/limits.h"

namespace Quarn::WinRT::sim {

namespace {

using nlohmann::json;

// Builds the document value by value (nlohmann's own builder, but aware of where it is).
class StrictBuilder {
public:
    using number_integer_t = json::number_integer_t;
    using number_unsigned_t = json::number_unsigned_t;
    using number_float_t = json::number_float_t;
    using string_t = json::string_t;
    using binary_t = json::binary_t;

    explicit StrictBuilder(json& root) : m_root(root) {}

    bool null() { return Put(nullptr); }
    bool boolean(bool value) { return Put(value); }
    bool number_integer(number_integer_t value) { return Put(value); }
    bool number_unsigned(number_unsigned_t value) { return Put(value); }
    bool number_float(number_float_t value, const string_t&) { return Put(value); }
    bool string(string_t& value) { return Put(std::move(value)); }
    bool binary(binary_t& value) { return Put(std::move(value)); }

    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(string_t& name) {
        Frame& frame = m_frames.back();
        frame.key = std::move(name);
        if (frame.node->contains(frame.key)) {
            return Fail(PathOfNext(),
                        "each key once in an object, not \"" + frame.key + "\" a second time");
        }
        return true;
    }

    bool parse_error(std::size_t /*position*/, const std::string& token,
                     const nlohmann::detail::exception& error) {
        if (error.id == 406) {  // a number beyond a double's range
            return Fail(
                PathOfNext(),
                "a number within the range of a double (about 1.8e308 either way), not " + token);
        }
        std::string what = error.what();
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without its
        // library prefix.
        if (const std::size_t close = what.find("] ");
            what.starts_with("[") && close != what.npos) {
            what.erase(0, close + 2);
        }
        m_error = "not valid JSON: " + what;
        return false;
    }

    const std::string& Error() const { return m_error; }

private:
    struct Frame {
        json* node;
        std::string key;  // objects: the key of the value being read
        std::string path;
    };

    std::string PathOfNext() const {
        if (m_frames.empty()) {
            return {};
        }
        const Frame& frame = m_frames.back();
        if (frame.node->is_array()) {
            return frame.path + "[" + std::to_string(frame.node->size()) + "]";
        }
        return frame.path.empty() ? frame.key : frame.path + "." + frame.key;
    }

    json* Place(json value) {
        if (m_frames.empty()) {
            m_root = std::move(value);
            return &m_root;
        }
        Frame& frame = m_frames.back();
        if (frame.node->is_array()) {
            frame.node->push_back(std::move(value));
            return &frame.node->back();
        }
        json& slot = (*frame.node)[frame.key];
        slot = std::move(value);
        return &slot;
    }

    bool Put(json value) {
        Place(std::move(value));
        return true;
    }

    bool Open(json container) {
        std::string path = PathOfNext();
        if (m_frames.size() >= static_cast<std::size_t>(limits::kMaxJsonDepth)) {
            return Fail(path, "at most " + std::to_string(limits::kMaxJsonDepth) +
                                  " levels of nested arrays and objects");
        }
        json* node = Place(std::move(container));
        m_frames.push_back(Frame{node, {}, std::move(path)});
        return true;
    }

    bool Close() {
        m_frames.pop_back();
        return true;
    }

    bool Fail(const std::string& path, const std::string& expected) {
        m_error = JsonPathText(path) + ": expected " + expected;
        return false;
    }

    json& m_root;
    std::vector<Frame> m_frames;
    std::string m_error;
};

}  // namespace

std::string JsonPathText(const std::string& path) {
    return path.empty() ? "top level" : path;
}

nlohmann::json ReadJson(std::string_view text, const std::string& source) {
    json root;
    StrictBuilder builder(root);
    const bool read = json::sax_parse(text.begin(), text.end(), &builder);
    if (!read) {
        throw HostDescriptionError(source + ": " + builder.Error());
    }
    return root;
}

}  // namespace Quarn::WinRT::sim
