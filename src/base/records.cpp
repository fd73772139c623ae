#include "base/records.h"

RecordReader::RecordReader(std::string_view bytes) : bytes_(bytes) {}

bool RecordReader::AtEnd() const { return pos_ >= bytes_.size(); }

bool RecordReader::AtLineEnd() const {
    return pos_ < bytes_.size() && (bytes_[pos_] == '\r' || bytes_[pos_] == '\n');
}

void RecordReader::SkipLineEnd() {
    if (pos_ >= bytes_.size()) return;
    if (bytes_[pos_] == '\r') {
        ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    } else if (bytes_[pos_] == '\n') {
        ++pos_;
    }
}

void RecordReader::SkipBlanks(bool lineEndsToo) {
    while (pos_ < bytes_.size()) {
        char c = bytes_[pos_];
        if (c == ' ' || c == '\t' || (lineEndsToo && (c == '\r' || c == '\n'))) ++pos_;
        else break;
    }
}

std::string RecordReader::ReadField() {
    SkipBlanks(false);
    if (AtEnd()) return {};

    if (bytes_[pos_] == '"') {
        size_t start = pos_ + 1;
        size_t close = bytes_.find('"', start);
        if (close == std::string_view::npos) {
            pos_ = bytes_.size();
            return std::string(bytes_.substr(start));
        }
        std::string field(bytes_.substr(start, close - start));
        pos_ = close + 1;
        while (pos_ < bytes_.size()) {
            if (bytes_[pos_] == ',') {
                ++pos_;
                break;
            }
            if (AtLineEnd()) {
                SkipLineEnd();
                break;
            }
            ++pos_;
        }
        return field;
    }

    size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !AtLineEnd()) ++pos_;
    std::string_view field = bytes_.substr(start, pos_ - start);
    if (pos_ < bytes_.size()) {
        if (bytes_[pos_] == ',') ++pos_;
        else SkipLineEnd();
    }
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    return std::string(field);
}

std::vector<std::string> RecordReader::ReadRecord(int fieldsPerRecord) {
    std::vector<std::string> record;
    if (fieldsPerRecord < 1) fieldsPerRecord = 1;
    record.reserve(static_cast<size_t>(fieldsPerRecord));
    SkipBlanks(true);
    for (int i = 0; i < fieldsPerRecord; ++i) record.push_back(ReadField());
    return record;
}

std::vector<std::vector<std::string>> ReadRecords(std::string_view bytes, int fieldsPerRecord) {
    std::vector<std::vector<std::string>> records;
    RecordReader reader(bytes);
    while (!reader.AtEnd()) records.push_back(reader.ReadRecord(fieldsPerRecord));
    return records;
}

void AppendQuotedField(std::string& out, std::string_view field) {
    out.push_back('"');
    out.append(field);
    out.push_back('"');
}
