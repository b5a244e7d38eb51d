#include "platform/registry_salvage.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <variant>
#include <vector>

#include "platform/registry_database.h"
#include "platform/registry_names.h"

namespace zbx::win {
namespace {

// Files larger than this are not read for salvage (a store is far smaller).
constexpr std::uintmax_t kMaxSalvageBytes = 512u * 1024 * 1024;

std::uint32_t Be(const unsigned char* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

std::string ReadFile(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxSalvageBytes) return {};
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Field = std::variant<std::monostate, std::int64_t, std::string>;  // NULL, integer, text or blob

struct Row {
  std::int64_t rowid;
  std::vector<Field> fields;
  bool blobLast = false;  // the last field was a blob (a value's data), not text
};

// The database as pages: the file's, with the committed frames of its WAL laid over them.
class Pages {
 public:
  explicit Pages(const std::string& path) : file_(ReadFile(path)) {
    pageSize_ = GuessPageSize();
    const auto reserved = file_.size() > 20 ? static_cast<unsigned char>(file_[20]) : 0;
    usable_ = pageSize_ - (reserved <= 32 ? reserved : 0);
    count_ = static_cast<std::uint32_t>(file_.size() / pageSize_);
    ReadWal(path + "-wal");
  }

  std::uint32_t count() const { return count_; }
  std::uint32_t usable() const { return usable_; }
  // Page n (from 1), or null when it does not exist.
  const unsigned char* Page(std::uint32_t n) const {
    if (n == 0 || n > count_) return nullptr;
    if (auto it = wal_.find(n); it != wal_.end()) return reinterpret_cast<const unsigned char*>(it->second.data());
    if (static_cast<std::size_t>(n) * pageSize_ > file_.size()) return nullptr;
    return reinterpret_cast<const unsigned char*>(file_.data()) + static_cast<std::size_t>(n - 1) * pageSize_;
  }
  std::uint32_t pageSize() const { return pageSize_; }

 private:
  // The header's page size when it is one; else the size whose pages look most like pages.
  std::uint32_t GuessPageSize() const {
    if (file_.size() >= 100) {
      std::uint32_t size = Be(reinterpret_cast<const unsigned char*>(file_.data()) + 16, 2);
      if (size == 1) size = 65536;
      if (size >= 512 && size <= 65536 && (size & (size - 1)) == 0 && file_.size() % size == 0) return size;
    }
    std::uint32_t best = 1024;
    int bestScore = -1;
    for (std::uint32_t size = 512; size <= 65536; size *= 2) {
      int score = 0;
      for (std::size_t at = size; at < file_.size() && at < 64u * size; at += size) {
        const auto type = static_cast<unsigned char>(file_[at]);
        score += type == 0x02 || type == 0x05 || type == 0x0A || type == 0x0D;
      }
      if (score > bestScore) best = size, bestScore = score;
    }
    return best;
  }

  // Frames count only while their salts match and their running checksum holds, and only
  // up to the last frame that ends a transaction: what SQLite itself would read.
  void ReadWal(const std::string& path) {
    const std::string wal = ReadFile(path);
    const auto* w = reinterpret_cast<const unsigned char*>(wal.data());
    if (wal.size() < 32) return;
    const std::uint32_t magic = Be(w, 4);
    if ((magic & ~1u) != 0x377f0682u || Be(w + 8, 4) != pageSize_) return;
    const bool bigEndian = (magic & 1) != 0;
    auto word = [&](const unsigned char* p) {
      return bigEndian ? Be(p, 4) : std::uint32_t(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24);
    };
    std::uint32_t s0 = 0, s1 = 0;
    auto sum = [&](const unsigned char* p, std::size_t bytes) {
      for (std::size_t i = 0; i + 8 <= bytes; i += 8) {
        s0 += word(p + i) + s1;
        s1 += word(p + i + 4) + s0;
      }
    };
    sum(w, 24);
    if (s0 != Be(w + 24, 4) || s1 != Be(w + 28, 4)) return;
    std::map<std::uint32_t, std::string> pending;
    for (std::size_t at = 32; at + 24 + pageSize_ <= wal.size(); at += 24 + pageSize_) {
      const unsigned char* frame = w + at;
      if (Be(frame + 8, 4) != Be(w + 16, 4) || Be(frame + 12, 4) != Be(w + 20, 4)) break;
      sum(frame, 8);
      sum(frame + 24, pageSize_);
      if (s0 != Be(frame + 16, 4) || s1 != Be(frame + 20, 4)) break;
      pending[Be(frame, 4)].assign(reinterpret_cast<const char*>(frame + 24), pageSize_);
      if (const std::uint32_t size = Be(frame + 4, 4); size != 0) {  // a commit
        for (auto& [n, page] : pending) wal_[n] = std::move(page);
        pending.clear();
        count_ = size;
      }
    }
  }

  std::string file_;
  std::uint32_t pageSize_ = 1024, usable_ = 1024, count_ = 0;
  std::map<std::uint32_t, std::string> wal_;
};

// Reads a varint at p (at most 9 bytes, none past end); false when it runs past the end.
bool Varint(const unsigned char*& p, const unsigned char* end, std::uint64_t& v) {
  v = 0;
  for (int i = 0; i < 9; ++i) {
    if (p >= end) return false;
    const unsigned char b = *p++;
    if (i == 8) {
      v = v << 8 | b;
      return true;
    }
    v = v << 7 | (b & 0x7F);
    if ((b & 0x80) == 0) return true;
  }
  return true;
}

std::optional<std::vector<Field>> DecodeRecord(const std::string& payload, bool& blobLast) {
  const auto* p = reinterpret_cast<const unsigned char*>(payload.data());
  const auto* end = p + payload.size();
  std::uint64_t headerSize = 0;
  if (!Varint(p, end, headerSize) || headerSize > payload.size()) return std::nullopt;
  const auto* headerEnd = reinterpret_cast<const unsigned char*>(payload.data()) + headerSize;
  std::vector<std::uint64_t> types;
  while (p < headerEnd) {
    std::uint64_t type = 0;
    if (!Varint(p, headerEnd, type) || type == 10 || type == 11) return std::nullopt;
    types.push_back(type);
  }
  const auto* body = headerEnd;
  std::vector<Field> fields;
  for (std::uint64_t type : types) {
    static constexpr int kIntBytes[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    if (type <= 9) {
      const int n = kIntBytes[type];
      if (body + n > end) return std::nullopt;
      if (type == 0) {
        fields.emplace_back();
      } else if (type == 7) {
        return std::nullopt;  // no column of the store is a real number
      } else {
        std::int64_t v = type == 9 ? 1 : 0;
        if (n > 0) v = static_cast<std::int8_t>(body[0]);
        for (int i = 1; i < n; ++i) v = static_cast<std::int64_t>(static_cast<std::uint64_t>(v) << 8 | body[i]);
        fields.emplace_back(v);
      }
      body += n;
    } else {
      const std::uint64_t n = (type - 12) / 2;
      if (n > static_cast<std::uint64_t>(end - body)) return std::nullopt;
      fields.emplace_back(std::string(reinterpret_cast<const char*>(body), n));
      blobLast = type % 2 == 0;
      body += n;
    }
  }
  return fields;
}

// Reads the table b-tree pages: rows of leaf pages, children of interior ones.
class TableReader {
 public:
  explicit TableReader(const Pages& pages) : pages_(pages) {}

  // Every row reachable from root; pages that cannot be read are counted in `broken`.
  void Walk(std::uint32_t root, std::vector<Row>& rows) {
    std::vector<std::pair<std::uint32_t, int>> stack{{root, 0}};
    while (!stack.empty()) {
      const auto [n, depth] = stack.back();
      stack.pop_back();
      if (depth > 40 || !visited.insert(n).second) continue;
      const unsigned char* page = pages_.Page(n);
      const unsigned char* head = page == nullptr ? nullptr : page + (n == 1 ? 100 : 0);
      if (head == nullptr || (head[0] != 0x05 && head[0] != 0x0D)) {
        ++broken;
        continue;
      }
      if (head[0] == 0x0D) {
        ReadLeaf(n, rows);
        continue;
      }
      const std::uint32_t cells = Be(head + 3, 2);
      stack.push_back({Be(head + 8, 4), depth + 1});
      for (std::uint32_t i = 0; i < cells; ++i) {
        const std::uint32_t at = CellAt(head, page, i, 12);
        if (at == 0 || at + 4 > pages_.usable()) {
          ++broken;
          continue;
        }
        stack.push_back({Be(page + at, 4), depth + 1});
      }
    }
  }

  // The rows of one leaf page; cells that cannot be read are left out.
  void ReadLeaf(std::uint32_t n, std::vector<Row>& rows) {
    const unsigned char* page = pages_.Page(n);
    const unsigned char* head = page + (n == 1 ? 100 : 0);
    const std::uint32_t cells = Be(head + 3, 2), u = pages_.usable();
    for (std::uint32_t i = 0; i < cells; ++i) {
      const std::uint32_t at = CellAt(head, page, i, 8);
      if (at == 0) continue;
      const unsigned char* p = page + at;
      const unsigned char* end = page + u;
      std::uint64_t size = 0, rowid = 0;
      if (!Varint(p, end, size) || !Varint(p, end, rowid) || size > (64u << 20)) continue;
      // How much of the payload is on this page; the rest is in a chain of overflow pages.
      const std::uint64_t x = u - 35, m = ((u - 12) * 32 / 255) - 23;
      std::uint64_t local = size;
      if (size > x) {
        const std::uint64_t k = m + (size - m) % (u - 4);
        local = k <= x ? k : m;
      }
      if (static_cast<std::uint64_t>(end - p) < local + (local < size ? 4 : 0)) continue;
      std::string payload(reinterpret_cast<const char*>(p), local);
      std::uint32_t next = local < size ? Be(p + local, 4) : 0;
      for (int hops = 0; payload.size() < size && next != 0 && hops < (1 << 20); ++hops) {
        const unsigned char* over = pages_.Page(next);
        if (over == nullptr) break;
        const std::size_t take = std::min<std::uint64_t>(u - 4, size - payload.size());
        payload.append(reinterpret_cast<const char*>(over + 4), take);
        next = Be(over, 4);
      }
      if (payload.size() != size) continue;
      Row row{static_cast<std::int64_t>(rowid), {}, false};
      if (auto fields = DecodeRecord(payload, row.blobLast)) {
        row.fields = std::move(*fields);
        rows.push_back(std::move(row));
      }
    }
  }

  std::set<std::uint32_t> visited;
  int broken = 0;

 private:
  // Offset of cell i within the page, or 0 when its pointer is out of bounds.
  std::uint32_t CellAt(const unsigned char* head, const unsigned char* page, std::uint32_t i,
                       std::uint32_t headerSize) const {
    const auto pointer = static_cast<std::uint32_t>(head - page) + headerSize + 2 * i;
    if (pointer + 2 > pages_.usable()) return 0;
    const std::uint32_t at = Be(page + pointer, 2);
    return at > pointer && at < pages_.usable() ? at : 0;
  }

  const Pages& pages_;
};

// Pages on the free list: their old rows are deleted ones.
std::set<std::uint32_t> FreePages(const Pages& pages) {
  std::set<std::uint32_t> free;
  const unsigned char* first = pages.Page(1);
  if (first == nullptr) return free;
  for (std::uint32_t trunk = Be(first + 32, 4); trunk != 0 && free.insert(trunk).second;) {
    const unsigned char* page = pages.Page(trunk);
    if (page == nullptr) break;
    const std::uint32_t leaves = std::min(Be(page + 4, 4), pages.usable() / 4 - 2);
    for (std::uint32_t i = 0; i < leaves; ++i) free.insert(Be(page + 8 + 4 * i, 4));
    trunk = Be(page, 4);
  }
  return free;
}

// Root pages of the key and value tables: from the file's schema, else where a new
// store puts them.
std::pair<std::uint32_t, std::uint32_t> RootPages(const Pages& pages) {
  std::uint32_t keys = 0, values = 0;
  TableReader schema(pages);
  std::vector<Row> rows;
  schema.Walk(1, rows);
  for (const Row& row : rows) {
    if (row.fields.size() != 5 || !std::holds_alternative<std::string>(row.fields[1]) ||
        !std::holds_alternative<std::int64_t>(row.fields[3]))
      continue;
    const auto& name = std::get<std::string>(row.fields[1]);
    const auto root = static_cast<std::uint32_t>(std::get<std::int64_t>(row.fields[3]));
    if (name == "reg_keys") keys = root;
    if (name == "reg_values") values = root;
  }
  if (keys != 0 && values != 0) return {keys, values};
  sqlite3* db = nullptr;
  if (sqlite3_open(":memory:", &db) == SQLITE_OK && sqlite3_exec(db, RegistrySchema(), nullptr, nullptr, nullptr) == SQLITE_OK) {
    auto read = [](void* out, int, char** row, char**) {
      auto* found = static_cast<std::pair<std::uint32_t, std::uint32_t>*>(out);
      const std::string name = row[0];
      if (name == "reg_keys") found->first = static_cast<std::uint32_t>(std::stoul(row[1]));
      if (name == "reg_values") found->second = static_cast<std::uint32_t>(std::stoul(row[1]));
      return 0;
    };
    std::pair<std::uint32_t, std::uint32_t> fresh{0, 0};
    sqlite3_exec(db, "SELECT name, rootpage FROM sqlite_schema", read, &fresh, nullptr);
    if (keys == 0) keys = fresh.first;
    if (values == 0) values = fresh.second;
  }
  sqlite3_close(db);
  return {keys, values};
}

struct KeyRow {
  std::string name, path;  // path upper-cased from the root: "2\SOFTWARE\X"
};
struct ValueRow {
  std::int64_t key;
  std::string name;
  DWORD type;
  std::string data;
};

bool IsText(const Field& f) { return std::holds_alternative<std::string>(f); }
bool IsInt(const Field& f) { return std::holds_alternative<std::int64_t>(f); }

// A key row: [id (null), parent, name, uname, path], its names agreeing with each other.
std::optional<KeyRow> AsKey(const Row& row) {
  const auto& f = row.fields;
  if (f.size() != 5 || !IsInt(f[1]) || !IsText(f[2]) || !IsText(f[3]) || !IsText(f[4]) || row.rowid <= 7)
    return std::nullopt;
  KeyRow key{std::get<std::string>(f[2]), std::get<std::string>(f[4])};
  const std::size_t slash = key.path.rfind('\\');
  if (key.path.size() < 3 || key.path[0] < '0' || key.path[0] > '6' || key.path[1] != '\\' ||
      std::get<std::string>(f[3]) != UpperName(key.name) || key.path.substr(slash + 1) != UpperName(key.name) ||
      key.name.empty() || key.name.find('\\') != std::string::npos)
    return std::nullopt;
  return key;
}

// A value row: [id (null), key, name, uname, type, data].
std::optional<ValueRow> AsValue(const Row& row) {
  const auto& f = row.fields;
  if (f.size() != 6 || !IsInt(f[1]) || !IsText(f[2]) || !IsText(f[3]) || !IsInt(f[4]) || !IsText(f[5]) ||
      !row.blobLast || std::get<std::string>(f[3]) != UpperName(std::get<std::string>(f[2])))
    return std::nullopt;
  const auto type = std::get<std::int64_t>(f[4]);
  if (type < 0 || type > 0xFFFFFFFFll) return std::nullopt;
  return ValueRow{std::get<std::int64_t>(f[1]), std::get<std::string>(f[2]), static_cast<DWORD>(type),
                  std::get<std::string>(f[5])};
}

}  // namespace

Salvaged SalvageStore(const std::string& damagedPath, RegistryApi& into) {
  Salvaged saved;
  const Pages pages(damagedPath);
  if (pages.count() == 0) return saved;
  const auto [keyRoot, valueRoot] = RootPages(pages);
  TableReader reader(pages);
  std::vector<Row> keyRows, valueRows;
  reader.Walk(keyRoot, keyRows);
  reader.Walk(valueRoot, valueRows);
  // Behind a damaged inner page lie leaves the walks could not reach: read every table leaf
  // that no walk visited and that is not free, and tell keys from values by their shape.
  std::vector<Row> loose;
  if (reader.broken > 0) {
    const auto free = FreePages(pages);
    for (std::uint32_t n = 2; n <= pages.count(); ++n) {
      const unsigned char* page = pages.Page(n);
      if (page != nullptr && page[0] == 0x0D && reader.visited.count(n) == 0 && free.count(n) == 0)
        reader.ReadLeaf(n, loose);
    }
  }
  std::map<std::int64_t, KeyRow> keys;
  std::map<std::int64_t, ValueRow> values;
  for (const auto* rows : {&keyRows, &valueRows, &loose}) {
    for (const Row& row : *rows) {
      if (auto key = AsKey(row)) keys.emplace(row.rowid, std::move(*key));
      else if (auto value = AsValue(row)) values.emplace(row.rowid, std::move(*value));
    }
  }

  // Keys, shallowest first, each under its path with the names' own spelling where the
  // key of that level was saved (upper case where it was lost).
  std::map<std::string, std::string> spelling;  // upper-cased path -> name
  for (const auto& [id, key] : keys) spelling[key.path] = key.name;
  std::vector<const KeyRow*> order;
  for (const auto& [id, key] : keys) order.push_back(&key);
  std::stable_sort(order.begin(), order.end(), [](const KeyRow* a, const KeyRow* b) {
    return std::count(a->path.begin(), a->path.end(), '\\') < std::count(b->path.begin(), b->path.end(), '\\');
  });
  std::map<std::string, std::string> subKeyOf;  // upper-cased path -> sub-key path as created
  for (const KeyRow* key : order) {
    std::string subKey;
    for (std::size_t at = key->path.find('\\'); at != std::string::npos;) {
      const std::size_t next = key->path.find('\\', at + 1);
      const std::string prefix = key->path.substr(0, next);
      const auto spelled = spelling.find(prefix);
      subKey += (subKey.empty() ? "" : "\\") +
                (spelled != spelling.end() ? spelled->second : key->path.substr(at + 1, next - at - 1));
      at = next;
    }
    HKEY handle = 0;
    const HKEY root = HKEY_CLASSES_ROOT + static_cast<HKEY>(key->path[0] - '0');
    if (into.RegCreateKeyA(root, subKey.c_str(), &handle) != ERROR_SUCCESS) continue;
    into.RegCloseKey(handle);
    subKeyOf[key->path] = subKey;
    ++saved.keys;
  }
  // Values in their order of creation, each into its key.
  for (const auto& [id, value] : values) {
    HKEY root = 0;
    std::string subKey;
    if (value.key >= 1 && value.key <= 7) {
      root = HKEY_CLASSES_ROOT + static_cast<HKEY>(value.key - 1);
    } else if (auto key = keys.find(value.key); key != keys.end() && subKeyOf.count(key->second.path) != 0) {
      root = HKEY_CLASSES_ROOT + static_cast<HKEY>(key->second.path[0] - '0');
      subKey = subKeyOf[key->second.path];
    } else {
      ++saved.homeless;
      continue;
    }
    HKEY handle = 0;
    if (into.RegOpenKeyExA(root, subKey.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS) continue;
    if (SetValueBytes(into, handle, value.name.c_str(), value.type, value.data) == ERROR_SUCCESS)
      ++saved.values;
    if (handle != root) into.RegCloseKey(handle);
  }
  return saved;
}

}  // namespace zbx::win
