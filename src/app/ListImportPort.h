#pragma once

#include <string>
#include <vector>

#include "app/ControllerPorts.h"
#include "lists/ImportQuickenExport.h"

namespace corvela {

// The controller's list-import port over the real import. The import is borrowed and must
// outlive this object.
class ListImportPort : public QIFListImport {
 public:
  explicit ListImportPort(ImportQuickenExport& import) : import_(import) {}

  int process(std::span<const std::string_view> lines, std::size_t* indexPtr,
              const std::string& source) override {
    return import_.process(lines, indexPtr, source);
  }

 private:
  ImportQuickenExport& import_;
};

}  // namespace corvela
