#pragma once

#include <string>
#include <string_view>

#include "app/ControllerPorts.h"
#include "lists/ImportQuickenExport.h"

namespace corvela {

// The controller's list-import port over the real import. The import is borrowed and must
// outlive this object.
class ListImportPort : public QIFListImport {
 public:
  explicit ListImportPort(ImportQuickenExport& import) : import_(import) {}

  int process(std::string_view text, std::size_t* indexPtr, const std::string& source) override {
    return import_.process(text, indexPtr, source);
  }

 private:
  ImportQuickenExport& import_;
};

}  // namespace corvela
