#include "tools/info_command.h"

#include <ostream>
#include <span>
#include <string>

#include "swf/movie_report.h"
#include "swf/parse/movie.h"
#include "swf/parse/parse_error.h"
#include "sys/file.h"
#include "tools/json_text.h"

namespace tools {
namespace {

using swf::kTwipsPerPixel;

void PrintText(std::ostream& out, const std::string& path, const swf::MovieReport& report) {
  out << "movie:        " << path << "\n"
      << "version:      " << int{report.version} << "\n"
      << "compression:  " << swf::CompressionName(report.compression) << "\n"
      << "stage:        " << JsonNumber(report.stage.Width() / kTwipsPerPixel) << " x "
      << JsonNumber(report.stage.Height() / kTwipsPerPixel) << " pixels\n"
      << "frame rate:   " << JsonNumber(report.frameRate) << " per second\n"
      << "frames:       " << report.frameCount;
  if (report.frameCount != report.declaredFrameCount) out << " (the header says " << report.declaredFrameCount << ")";
  out << "\n"
      << "AS3 flag:     " << (report.actionScript3Flag ? "yes" : "no") << "\n";
  if (report.unsupported.empty()) {
    out << "unsupported:  nothing; the engine plays all of it\n";
  } else {
    out << "unsupported:\n";
    for (const swf::UnsupportedFeature& feature : report.unsupported) {
      out << "  " << feature.name << ": " << feature.phrase << "\n";
    }
  }
  for (const std::string& warning : report.warnings) out << "warning:      " << warning << "\n";
}

void PrintJson(std::ostream& out, const std::string& path, const swf::MovieReport& report) {
  out << "{\"movie\":" << JsonString(path) << ",\"version\":" << int{report.version}
      << ",\"compression\":" << JsonString(swf::CompressionName(report.compression))
      << ",\"stage\":{\"width\":" << JsonNumber(report.stage.Width() / kTwipsPerPixel)
      << ",\"height\":" << JsonNumber(report.stage.Height() / kTwipsPerPixel) << "}"
      << ",\"frameRate\":" << JsonNumber(report.frameRate) << ",\"frameCount\":" << report.frameCount
      << ",\"declaredFrameCount\":" << report.declaredFrameCount
      << ",\"as3Flag\":" << (report.actionScript3Flag ? "true" : "false") << ",\"unsupported\":[";
  for (size_t i = 0; i < report.unsupported.size(); ++i) {
    const swf::UnsupportedFeature& feature = report.unsupported[i];
    out << (i ? "," : "") << "{\"name\":" << JsonString(feature.name) << ",\"phrase\":" << JsonString(feature.phrase)
        << "}";
  }
  out << "],\"notice\":" << JsonString(swf::NoticeLine(report)) << ",\"warnings\":[";
  for (size_t i = 0; i < report.warnings.size(); ++i) out << (i ? "," : "") << JsonString(report.warnings[i]);
  out << "]}\n";
}

}  // namespace

int RunInfo(const CommandContext& context) {
  const std::string& path = context.arguments.positional[0];
  const std::string file = sys::ReadWholeFile(path, sys::FileAccess::kReadShareReadWrite);
  swf::MovieReport report;
  try {
    const swf::ParsedMovie movie =
        swf::ParseMovie(std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    report = swf::ReportMovie(movie);
  } catch (const swf::ParseError& error) {
    return Fail(context.err, path + ": " + error.what());
  }
  if (context.arguments.Has("json")) {
    PrintJson(context.out, path, report);
  } else {
    PrintText(context.out, path, report);
  }
  return kExitSuccess;
}

}  // namespace tools
