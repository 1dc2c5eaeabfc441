#include "fixture.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "text/cp866.h"

namespace movrek::testing {

namespace {

// How a section's text turns into bytes.
struct Decoding {
  bool cp866 = false;  // UTF-8 characters stand for their CP866 bytes, and {N*c} for N bytes c
  bool crlf = false;   // a line end of the section stands for CR LF
};

std::string decode(std::string_view in, Decoding how) {
  static constexpr std::string_view kCodes = "rnt0";
  static constexpr std::string_view kBytes{"\r\n\t\0", 4};
  std::string out;
  // One character of the text: a byte, or with cp866 a UTF-8 sequence.
  const auto character = [&](std::size_t& i) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    const std::size_t len = !how.cp866 || c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
    char byte = in[i];
    if (len > 1 && utf8_to_cp866(reinterpret_cast<const char8_t*>(in.data() + i), len, &byte) != 1)
      throw std::runtime_error("no CP866 byte for " + std::string(in.substr(i, len)));
    i += len - 1;
    return byte;
  };
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (how.cp866 && in[i] == '{') {
      std::size_t j = i + 1, count = 0;
      while (j < in.size() && in[j] >= '0' && in[j] <= '9')
        count = count * 10 + static_cast<std::size_t>(in[j++] - '0');
      std::size_t k = j + 1;
      if (j > i + 1 && j + 2 < in.size() && in[j] == '*') {
        const char byte = character(k);
        if (k + 1 < in.size() && in[k + 1] == '}') {
          out.append(count, byte);
          i = k + 1;
          continue;
        }
      }
    }
    if (in[i] == '\n' && how.crlf) {
      out += "\r\n";
    } else if (in[i] != '\\' || i + 1 >= in.size()) {
      out.push_back(character(i));
    } else if (const char c = in[++i]; c == 'x') {
      out.push_back(static_cast<char>(std::stoi(std::string(in.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else if (kCodes.find(c) != std::string_view::npos) {
      out.push_back(kBytes[kCodes.find(c)]);
    } else if (c != '\n') {  // a backslash at a line end joins the lines
      out.push_back(c);
    }
  }
  return out;
}

std::string section(const std::map<std::string, std::string>& raw, const std::string& name,
                    Decoding how) {
  const auto it = raw.find(name);
  return it == raw.end() ? std::string() : decode(it->second, how);
}

}  // namespace

std::string FixtureCase::bytes(const std::string& name) const {
  return section(raw, name, {});
}

std::string FixtureCase::file(const std::string& name) const {
  return section(raw, name, {true, true});
}

std::string FixtureCase::console(const std::string& name) const {
  return section(raw, name, {true, false});
}

std::string FixtureCase::text(const std::string& section) const {
  const auto it = raw.find(section);
  return it == raw.end() ? std::string() : it->second;
}

std::vector<FixtureCase> load_fixture(std::string_view file_name) {
  const std::string path = std::string(MOVREK_TEST_DATA) + "/" + std::string(file_name);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<FixtureCase> cases;
  std::string line;
  std::string* section = nullptr;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.rfind("=== ", 0) == 0) {
      cases.push_back(FixtureCase{line.substr(4), number, {}});
      section = nullptr;
    } else if (line.rfind("--- ", 0) == 0 && !cases.empty()) {
      section = &cases.back().raw[line.substr(4)];
    } else if (section != nullptr) {
      *section += line + "\n";
    }
  }
  return cases;
}

std::string test_name(std::string_view case_name) {
  std::string name;
  for (const char c : case_name)
    name.push_back(
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? c : '_');
  return name;
}

std::string show(Text text) {
  if (!text) return "none";
  std::string out = "\"";
  for (const char ch : *text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
      static const char* const kHex = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out.push_back(ch);
    }
  }
  return out + "\"";
}

namespace {
Text opt(const std::optional<std::string>& s) {
  return s ? Text(*s) : std::nullopt;
}
}  // namespace

std::string dump_catalog(const Catalog& catalog) {
  std::ostringstream out;
  const auto& groups = catalog.groups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const Group& group = *groups[g];
    out << "group " << g << " report=" << show(opt(group.report))
        << " header=" << show(opt(group.header)) << " footer=" << show(opt(group.footer))
        << " files=" << group.file_count() << "\n";
    for (const Area* area : group.areas()) {
      out << "  area " << show(area->name()) << " desc=" << show(area->description())
          << " link=" << show(area->link()) << "\n";
      for (const FileEntry& f : area->files()) {
        out << "    file " << show(f.name()) << " size=" << show(f.size())
            << " desc=" << show(f.description()) << " origin=" << show(f.origin()) << "\n";
      }
    }
  }
  return out.str();
}

std::string dump_settings(const Settings& settings) {
  std::ostringstream out;
  out << "width " << settings.report_width << "\n";
  out << "nodesc " << show(settings.no_description) << "\n";
  out << "dir " << show(settings.template_dir) << "\n";
  out << "excluded";
  // Newest first, as a list that each name is put in front of.
  const std::vector<std::string>& added = settings.excluded_areas.added();
  for (auto name = added.rbegin(); name != added.rend(); ++name)
    out << " " << show(*name);
  out << "\n";
  return out.str();
}

std::string expand_runs(std::string_view in) {
  std::string out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    std::size_t j = i + 1;
    while (j < in.size() && in[j] >= '0' && in[j] <= '9')
      ++j;
    if (in[i] == '{' && j > i + 1 && j + 2 < in.size() && in[j] == '*' && in[j + 2] == '}') {
      out.append(std::stoul(std::string(in.substr(i + 1, j - i - 1))), in[j + 1]);
      i = j + 2;
    } else {
      out.push_back(in[i]);
    }
  }
  return out;
}

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(separator), text.size());
    pieces.emplace_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return pieces;
}

std::vector<std::vector<std::string>> rows(std::string_view text) {
  std::vector<std::vector<std::string>> table;
  for (const std::string& line : split(text, '\n')) {
    table.push_back(split(line + "|", '|'));  // so that a last empty field counts
    for (std::string& field : table.back())
      field = decode(field, {});
  }
  return table;
}

std::string run_catalog_steps(std::string_view groups_text, std::string_view steps) {
  Catalog catalog;
  std::vector<Group*> groups{&catalog.default_group()};
  std::unique_ptr<Group> pending;
  for (const auto& row : rows(groups_text)) {
    auto group = make_configured_group();
    for (std::size_t i = row[0] == "*"; i < row.size(); ++i) {
      catalog.insert_area(*group, row[i], std::nullopt, std::nullopt);
    }
    groups.push_back(group.get());
    if (row[0] == "*") {
      pending = std::move(group);
    } else {
      catalog.append_group(std::move(group));
    }
  }
  std::string out;
  for (auto row : rows(steps)) {
    row.resize(7, "~");
    const auto field = [&](int i) { return row[i] == "~" ? Text() : Text(row[i]); };
    if (row[0] == "=") {
      catalog.arrange();
      out += dump_catalog(catalog);
    } else if (row[0] == "*") {
      catalog.append_group(std::move(pending));
    } else if (row[0] == "+") {
      catalog.insert_area(*groups[std::stoul(row[1])], row[2], field(3), field(4));
    } else {
      // As the list reader does: the texts lie in the catalog's own bytes.
      const auto kept = [&](int i) {
        return row[i] == "~" ? Text() : Text(catalog.kept_bytes().copy(row[i]));
      };
      catalog.add_input_record({kept(0), kept(3), kept(4), kept(1), kept(2), kept(5), kept(6)});
    }
    for (auto& text : row)
      text.assign(text.size(), '#');  // the catalog keeps its own copies
  }
  if (pending) catalog.append_group(std::move(pending));
  catalog.arrange();
  return out + dump_catalog(catalog);
}

}  // namespace movrek::testing
