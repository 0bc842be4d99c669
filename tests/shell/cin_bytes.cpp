#include "shell/cin_bytes.h"

bytes operator+(bytes a, const bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bytes filler(size_t n)
{
    return bytes(n, 0xEE);
}

bytes pstring(const std::string& text)
{
    bytes b{uint8_t(text.size())};
    b.insert(b.end(), text.begin(), text.end());
    if (b.size() % 2) b.push_back(0);
    return b;
}

bytes control(const std::string& view_class, int32_t id, int32_t left, int32_t top, int32_t right, int32_t bottom,
              const bytes& tail, uint32_t more)
{
    bytes b = filler(0x36);
    put_be32(b, 0, more);
    put_be32(b, 0x0C, code(view_class));
    put_be32(b, 0x10, uint32_t(id));
    put_be32(b, 0x20, uint32_t(left));
    put_be32(b, 0x24, uint32_t(top));
    put_be32(b, 0x28, uint32_t(right));
    put_be32(b, 0x2C, uint32_t(bottom));
    return b + tail;
}

bytes resource(const std::string& type, const std::string& name, const bytes& body)
{
    bytes b(10);
    put_be32(b, 4, code(type));
    b.push_back(uint8_t(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    b = b + body;
    put_be32(b, 0, uint32_t(b.size()));
    return b;
}

bytes view_resource(const std::string& name, int32_t x, int32_t y, int32_t w, int32_t h,
                    const std::vector<bytes>& controls, const std::string& title, const std::string& window_class)
{
    bytes window = filler(4 + 0x4C);
    put_be32(window, 4 + 0x08, code(window_class));
    put_be32(window, 4 + 0x16, uint32_t(x));
    put_be32(window, 4 + 0x1A, uint32_t(y));
    put_be32(window, 4 + 0x2E, uint32_t(w));
    put_be32(window, 4 + 0x32, uint32_t(h));
    window[4 + 0x46] = uint8_t(title.size());
    window.insert(window.end(), title.begin(), title.end());
    for (const bytes& c : controls) window = window + c;
    return resource("VRes", name, window);
}

bytes cin_file(const std::vector<bytes>& entries, uint32_t version)
{
    bytes b{'@', '!', 'Z', 'C', 0, 0, 0, 0};
    put_be32(b, 4, version);
    b = b + filler(8);
    for (const bytes& e : entries) b = b + e;
    return b;
}

bytes dialog_bytes(int16_t top, int16_t left, int16_t bottom, int16_t right, const std::vector<want_control>& controls,
                   const std::string& texts)
{
    bytes b(12 + 24 * controls.size());
    put_be16(b, 0, 1);
    put_be16(b, 2, uint16_t(controls.size()));
    put_be16(b, 4, uint16_t(top));
    put_be16(b, 6, uint16_t(left));
    put_be16(b, 8, uint16_t(bottom));
    put_be16(b, 10, uint16_t(right));
    for (size_t i = 0; i < controls.size(); ++i) {
        const want_control& c = controls[i];
        size_t at = 12 + 24 * i;
        put_be32(b, at, code(c.code));
        put_be16(b, at + 6, uint16_t(c.id));
        put_be16(b, at + 16, uint16_t(c.top));
        put_be16(b, at + 18, uint16_t(c.left));
        put_be16(b, at + 20, uint16_t(c.bottom));
        put_be16(b, at + 22, uint16_t(c.right));
    }
    b.insert(b.end(), texts.begin(), texts.end());
    return b;
}
