#pragma once

#include <QString>

#include <vector>

// The files the benchmark copies: made from a seed, so a copy can be
// checked byte for byte without keeping the original around.
namespace FxpData {

constexpr int TreeDirectories = 20;
constexpr int FilesPerDirectory = 50;
constexpr qint64 TreeFileSize = 4096;

struct BenchFile {
    QString relativePath; // "big.bin", "tree/d07/f012.bin"
    qint64 size = 0;
    quint64 seed = 0;
};

std::vector<BenchFile> BigFile(qint64 size);
std::vector<BenchFile> SmallFile();
std::vector<BenchFile> Tree();
qint64 TotalBytes(const std::vector<BenchFile>& files);

// Writes the files under root (directories made as needed).
bool WriteFiles(const QString& root, const std::vector<BenchFile>& files, QString& error);
// The tree under root must hold exactly these files, each with its bytes,
// and no other file or directory. The first difference is the error.
bool VerifyCopy(const QString& root, const std::vector<BenchFile>& files, QString& error);

} // namespace FxpData
