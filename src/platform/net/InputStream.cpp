#include "platform/net/InputStream.h"

#include "platform/net/DataInputStream.h"
#include "platform/net/FileInputStream.h"

namespace ns {

std::shared_ptr<InputStream> InputStream::withData(Data data) {
  return std::make_shared<DataInputStream>(std::move(data));
}

std::shared_ptr<InputStream> InputStream::withFileAtPath(std::string path) {
  return std::make_shared<FileInputStream>(std::move(path));
}

}  // namespace ns
