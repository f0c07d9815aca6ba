#include "read/HeifBoxes.h"

#include "EngineError.h"
#include "read/PictureFile.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace gustara {

namespace {

constexpr std::string_view kHeifFormat = "HEIF/AVIF";
// A 'meta' box holds item descriptions, not pixels: a few kilobytes for a photo, under a
// megabyte for the largest grid.
constexpr uint64_t kMostMetaBytes = uint64_t{16} << 20;
// Boxes before the 'meta' box (file type, free space, media data) in any file a writer makes.
constexpr int kMostTopLevelBoxes = 64;

using Bytes = std::span<const uint8_t>;

constexpr uint32_t FourCc(const char (&code)[5])
{
    return uint32_t{static_cast<uint8_t>(code[0])} << 24 | uint32_t{static_cast<uint8_t>(code[1])} << 16
        | uint32_t{static_cast<uint8_t>(code[2])} << 8 | static_cast<uint8_t>(code[3]);
}

// Big-endian fields of a box's body, in order; a read past its end gives 0 and marks it failed.
class Fields {
public:
    explicit Fields(Bytes bytes) : bytes_(bytes) {}

    uint64_t read(std::size_t count)
    {
        if (count > bytes_.size()) {
            failed_ = true;
            bytes_ = {};
            return 0;
        }
        uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i)
            value = value << 8 | bytes_[i];
        bytes_ = bytes_.subspan(count);
        return value;
    }
    // A full box's version; its flags go to `flags` when asked for.
    int version(uint32_t* flags = nullptr)
    {
        const auto versionAndFlags = static_cast<uint32_t>(read(4));
        if (flags)
            *flags = versionAndFlags & 0xFFFFFF;
        return static_cast<int>(versionAndFlags >> 24);
    }
    Bytes rest() const { return bytes_; }
    bool failed() const { return failed_; }

private:
    Bytes bytes_;
    bool failed_ = false;
};

struct Box {
    uint32_t type = 0;
    Bytes body;
};

// The box at the start of `rest`, which then begins after it; nothing at the end of `rest`
// or for a box that does not fit in it.
std::optional<Box> NextBox(Bytes& rest)
{
    Fields fields(rest);
    uint64_t size = fields.read(4);
    const auto type = static_cast<uint32_t>(fields.read(4));
    uint64_t header = 8;
    if (size == 1) {
        size = fields.read(8);
        header = 16;
    } else if (size == 0) {
        size = rest.size();
    }
    if (fields.failed() || size < header || size > rest.size())
        return std::nullopt;
    const Box box{type, rest.subspan(header, size - header)};
    rest = rest.subspan(size);
    return box;
}

// Refuses a count of items, tiles or references no camera writes.
void CheckCount(uint64_t count)
{
    if (count > kMostHeifItems)
        throw EngineError(Format(Message::HeifTooManyTiles, {std::to_string(count)}));
}

struct Extent {
    uint64_t offset = 0;
    uint64_t length = 0;  // 0: up to the end of the file
};

struct ItemLocation {
    int method = 0;  // 0: in the file, 1: in the 'idat' box
    std::vector<Extent> extents;
};

// The parts of the 'meta' box that say where the primary image is and what it is made of.
struct MetaBox {
    uint32_t primary = 0;
    std::map<uint32_t, uint32_t> itemTypes;
    std::map<uint32_t, ItemLocation> locations;
    std::map<uint32_t, std::vector<uint32_t>> derivedFrom;  // 'dimg': a grid's tiles, in order
    std::vector<uint32_t> auxiliaryOf;                      // 'auxl': the images that have one
    std::vector<Box> properties;                            // 'ipco', indexed from 1
    std::map<uint32_t, std::vector<uint32_t>> associations;  // 'ipma': an item's property indices
    Bytes itemData;                                         // 'idat'
};

void ReadItemInfo(Bytes body, MetaBox& meta)
{
    Fields fields(body);
    const int version = fields.version();
    CheckCount(fields.read(version == 0 ? 2 : 4));
    Bytes entries = fields.rest();
    while (const auto entry = NextBox(entries)) {
        Fields info(entry->body);
        const int infoVersion = info.version();
        if (entry->type != FourCc("infe") || infoVersion < 2)
            continue;
        const auto id = static_cast<uint32_t>(info.read(infoVersion == 2 ? 2 : 4));
        info.read(2);  // protection index
        meta.itemTypes[id] = static_cast<uint32_t>(info.read(4));
    }
}

void ReadItemLocations(Bytes body, MetaBox& meta)
{
    Fields fields(body);
    const int version = fields.version();
    const auto sizes = static_cast<int>(fields.read(1));
    const auto moreSizes = static_cast<int>(fields.read(1));
    const int offsetSize = sizes >> 4;
    const int lengthSize = sizes & 15;
    const int baseSize = moreSizes >> 4;
    const int indexSize = version == 1 || version == 2 ? moreSizes & 15 : 0;
    const uint64_t count = fields.read(version < 2 ? 2 : 4);
    CheckCount(count);
    uint64_t extentsSeen = 0;
    for (uint64_t item = 0; item < count && !fields.failed(); ++item) {
        const auto id = static_cast<uint32_t>(fields.read(version < 2 ? 2 : 4));
        ItemLocation location;
        location.method = version == 1 || version == 2 ? static_cast<int>(fields.read(2) & 15) : 0;
        fields.read(2);  // data reference index
        const uint64_t base = fields.read(baseSize);
        const uint64_t extents = fields.read(2);
        extentsSeen += extents;
        if (extentsSeen > 16 * uint64_t{kMostHeifItems})
            ThrowReadFailure(ReadFailure::Damaged, kHeifFormat);
        for (uint64_t i = 0; i < extents; ++i) {
            fields.read(indexSize);
            const uint64_t offset = fields.read(offsetSize);
            const uint64_t length = fields.read(lengthSize);
            // An offset that wraps lies past the end of any file.
            location.extents.push_back({base + offset < base ? UINT64_MAX : base + offset, length});
        }
        meta.locations[id] = std::move(location);
    }
}

void ReadItemReferences(Bytes body, MetaBox& meta)
{
    Fields fields(body);
    const int version = fields.version();
    Bytes references = fields.rest();
    uint64_t total = 0;
    while (const auto reference = NextBox(references)) {
        Fields entry(reference->body);
        const auto from = static_cast<uint32_t>(entry.read(version == 0 ? 2 : 4));
        const uint64_t count = entry.read(2);
        total += count;
        CheckCount(total);
        std::vector<uint32_t> to;
        for (uint64_t i = 0; i < count && !entry.failed(); ++i)
            to.push_back(static_cast<uint32_t>(entry.read(version == 0 ? 2 : 4)));
        if (reference->type == FourCc("dimg"))
            meta.derivedFrom[from] = std::move(to);
        else if (reference->type == FourCc("auxl"))
            meta.auxiliaryOf.insert(meta.auxiliaryOf.end(), to.begin(), to.end());
    }
}

void ReadItemProperties(Bytes body, MetaBox& meta)
{
    Bytes boxes = body;
    while (const auto box = NextBox(boxes)) {
        if (box->type == FourCc("ipco")) {
            Bytes properties = box->body;
            while (const auto property = NextBox(properties)) {
                meta.properties.push_back(*property);
                CheckCount(meta.properties.size());
            }
        } else if (box->type == FourCc("ipma")) {
            Fields fields(box->body);
            uint32_t flags = 0;
            const int version = fields.version(&flags);
            const uint64_t entries = fields.read(4);
            CheckCount(entries);
            for (uint64_t i = 0; i < entries && !fields.failed(); ++i) {
                auto& indices = meta.associations[static_cast<uint32_t>(fields.read(version < 1 ? 2 : 4))];
                const uint64_t count = fields.read(1);
                for (uint64_t j = 0; j < count && !fields.failed(); ++j)
                    indices.push_back(flags & 1 ? fields.read(2) & 0x7FFF : fields.read(1) & 0x7F);
            }
        }
    }
}

MetaBox ReadMeta(Bytes body)
{
    MetaBox meta;
    Fields fields(body);
    fields.version();
    Bytes boxes = fields.rest();
    while (const auto box = NextBox(boxes)) {
        Fields content(box->body);
        switch (box->type) {
        case FourCc("pitm"):
            meta.primary = static_cast<uint32_t>(content.read(content.version() == 0 ? 2 : 4));
            break;
        case FourCc("iinf"):
            ReadItemInfo(box->body, meta);
            break;
        case FourCc("iloc"):
            ReadItemLocations(box->body, meta);
            break;
        case FourCc("iref"):
            ReadItemReferences(box->body, meta);
            break;
        case FourCc("iprp"):
            ReadItemProperties(box->body, meta);
            break;
        case FourCc("idat"):
            meta.itemData = box->body;
            break;
        default:
            break;
        }
    }
    return meta;
}

// The property of `type` that belongs to `item`, if any.
std::optional<Bytes> PropertyOf(const MetaBox& meta, uint32_t item, uint32_t type)
{
    const auto found = meta.associations.find(item);
    if (found == meta.associations.end())
        return std::nullopt;
    for (const uint32_t index : found->second)
        if (index >= 1 && index <= meta.properties.size() && meta.properties[index - 1].type == type)
            return meta.properties[index - 1].body;
    return std::nullopt;
}

// Bits per luma sample as the item's pixel information or decoder configuration gives them.
std::optional<int> BitsOf(const MetaBox& meta, uint32_t item)
{
    if (const auto pixi = PropertyOf(meta, item, FourCc("pixi")); pixi && pixi->size() >= 6)
        return (*pixi)[5];
    if (const auto hevc = PropertyOf(meta, item, FourCc("hvcC")); hevc && hevc->size() > 17)
        return ((*hevc)[17] & 7) + 8;
    if (const auto av1 = PropertyOf(meta, item, FourCc("av1C")); av1 && av1->size() > 2)
        return (*av1)[2] & 0x40 ? ((*av1)[2] & 0x20 ? 12 : 10) : 8;
    return std::nullopt;
}

// The first bytes of the item's data, wherever it lies; empty when they cannot be had.
std::vector<uint8_t> ItemStart(const MetaBox& meta, uint32_t item, std::FILE* file, std::size_t count)
{
    const auto found = meta.locations.find(item);
    if (found == meta.locations.end() || found->second.extents.empty())
        return {};
    const Extent& extent = found->second.extents.front();
    std::vector<uint8_t> bytes(count);
    if (found->second.method == 1) {
        if (extent.offset > meta.itemData.size() || meta.itemData.size() - extent.offset < count)
            return {};
        std::copy_n(meta.itemData.begin() + static_cast<std::ptrdiff_t>(extent.offset), count, bytes.begin());
        return bytes;
    }
    if (found->second.method != 0 || extent.offset > INT64_MAX
        || ::fseeko(file, static_cast<off_t>(extent.offset), SEEK_SET) != 0
        || std::fread(bytes.data(), 1, count, file) != count)
        return {};
    return bytes;
}

// The canvas a grid or overlay item declares for its tiles, from its data's first bytes.
std::optional<std::pair<uint64_t, uint64_t>> CanvasOf(const MetaBox& meta, uint32_t item, uint32_t type, std::FILE* file)
{
    const std::size_t fillBytes = type == FourCc("iovl") ? 8 : 2;  // four 16-bit fill values, or rows and columns
    const std::vector<uint8_t> start = ItemStart(meta, item, file, 2 + fillBytes + 4);
    if (start.empty())
        return std::nullopt;
    Fields fields(start);
    fields.read(1);  // version
    const bool wide = fields.read(1) & 1;
    fields.read(fillBytes);
    if (wide) {
        const std::vector<uint8_t> more = ItemStart(meta, item, file, 2 + fillBytes + 8);
        if (more.empty())
            return std::nullopt;
        Fields wideFields(Bytes(more).subspan(2 + fillBytes));
        return std::pair{wideFields.read(4), wideFields.read(4)};
    }
    return std::pair{fields.read(2), fields.read(2)};
}

// Every extent in the file must lie within it: one past its end means the file is cut short,
// whatever size it claims.
void CheckExtents(const MetaBox& meta, uint64_t fileSize)
{
    for (const auto& [id, location] : meta.locations) {
        if (location.method != 0)
            continue;
        for (const Extent& extent : location.extents)
            if (extent.offset > fileSize || extent.length > fileSize - extent.offset)
                ThrowReadFailure(ReadFailure::EndsEarly, kHeifFormat);
    }
}

uint64_t BigEndian(const uint8_t* bytes, int count)
{
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// The body of the top-level 'meta' box; nothing when the boxes before it cannot be walked.
std::optional<std::vector<uint8_t>> ReadMetaBody(std::FILE* file, uint64_t fileSize)
{
    uint64_t position = 0;
    for (int boxes = 0; boxes < kMostTopLevelBoxes && fileSize - position >= 8; ++boxes) {
        std::array<uint8_t, 16> header{};
        if (::fseeko(file, static_cast<off_t>(position), SEEK_SET) != 0 || std::fread(header.data(), 1, 8, file) != 8)
            return std::nullopt;
        uint64_t size = BigEndian(header.data(), 4);
        uint64_t headerSize = 8;
        if (size == 1) {
            if (std::fread(header.data() + 8, 1, 8, file) != 8)
                return std::nullopt;
            size = BigEndian(header.data() + 8, 8);
            headerSize = 16;
        } else if (size == 0) {
            size = fileSize - position;
        }
        if (size < headerSize)
            return std::nullopt;
        if (BigEndian(header.data() + 4, 4) == FourCc("meta")) {
            if (size > fileSize - position)
                ThrowReadFailure(ReadFailure::EndsEarly, kHeifFormat);
            if (size - headerSize > kMostMetaBytes)
                ThrowReadFailure(ReadFailure::Unsupported, kHeifFormat);
            std::vector<uint8_t> body(size - headerSize);
            if (std::fread(body.data(), 1, body.size(), file) != body.size())
                ThrowShortRead(file, kHeifFormat);
            return body;
        }
        if (size > fileSize - position)
            return std::nullopt;
        position += size;
    }
    return std::nullopt;
}

} // namespace

std::optional<HeifLayout> ReadHeifLayout(std::FILE* file, uint64_t fileSize)
{
    const std::optional<std::vector<uint8_t>> body = ReadMetaBody(file, fileSize);
    if (!body)
        return std::nullopt;
    const MetaBox meta = ReadMeta(*body);
    CheckExtents(meta, fileSize);
    const auto type = meta.itemTypes.find(meta.primary);
    if (type == meta.itemTypes.end())
        return std::nullopt;
    const auto tiles = meta.derivedFrom.find(meta.primary);
    HeifLayout layout;
    const auto size = PropertyOf(meta, meta.primary, FourCc("ispe"));
    if (size) {
        Fields fields(*size);
        fields.version();
        layout.width = static_cast<int64_t>(fields.read(4));
        layout.height = static_cast<int64_t>(fields.read(4));
    }
    if (type->second == FourCc("grid") || type->second == FourCc("iovl")) {
        // libheif allocates the canvas the data declares, not the size the header gives; libheif's
        // own writer gives a turned grid's header size turned.
        const auto canvas = CanvasOf(meta, meta.primary, type->second, file);
        if (!canvas)
            return std::nullopt;
        const std::pair<uint64_t, uint64_t> header{layout.width, layout.height};
        if (size && *canvas != header && *canvas != std::pair{header.second, header.first})
            ThrowReadFailure(ReadFailure::Damaged, kHeifFormat, Text(Message::DetailHeifSizeMismatch));
        layout.width = static_cast<int64_t>(canvas->first);
        layout.height = static_cast<int64_t>(canvas->second);
    } else if (!size) {
        return std::nullopt;
    }
    const std::optional<int> bits = BitsOf(meta, meta.primary);
    const bool tiled = tiles != meta.derivedFrom.end() && !tiles->second.empty();
    layout.bits = bits ? *bits : (tiled ? BitsOf(meta, tiles->second.front()).value_or(8) : 8);
    if (tiled)
        for (const uint32_t tile : tiles->second)
            if (const auto tileBits = BitsOf(meta, tile); tileBits && tileBits != BitsOf(meta, tiles->second.front()))
                layout.tileDepthsAgree = false;
    layout.alpha = std::find(meta.auxiliaryOf.begin(), meta.auxiliaryOf.end(), meta.primary) != meta.auxiliaryOf.end();
    return layout;
}

} // namespace gustara
