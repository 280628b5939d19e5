#pragma once
// Component scenario elements: services with provided (input) and required
// (output) interfaces, wired by connections. All links are not owning; the
// element pool owns every one of these.

#include <string>
#include <vector>

#include "model/Element.h"

namespace lumetra {

class PelkService : public ModelElement {
 public:
  PelkService() = default;
  explicit PelkService(std::string id) : ModelElement(std::move(id)) {}
  PelkService(std::string id, std::string name) : ModelElement(std::move(id)), name_(std::move(name)) {}

  std::string getTypeName() const override { return "PelkService"; }
  virtual void addProvided(ModelElement* element) { provided_.push_back(element); }
  virtual std::vector<ModelElement*> getProvided() const { return provided_; }
  virtual ModelElement* findProvided(const std::string& id) const;
  virtual void addRequired(ModelElement* element) { required_.push_back(element); }
  virtual std::vector<ModelElement*> getRequired() const { return required_; }
  virtual ModelElement* findRequired(const std::string& id) const;
  virtual std::string getName() const { return name_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  void accept(ModelVisitor& visitor) override;

 private:
  std::string name_;
  std::vector<ModelElement*> provided_;  // not owned
  std::vector<ModelElement*> required_;  // not owned
};

class PelkInterface : public ModelElement {
 public:
  PelkInterface() = default;
  explicit PelkInterface(std::string id) : ModelElement(std::move(id)) {}
  PelkInterface(std::string id, std::string name) : ModelElement(std::move(id)), name_(std::move(name)) {}
  PelkInterface(std::string id, std::string name, std::string serviceId)
      : ModelElement(std::move(id)), name_(std::move(name)), serviceId_(std::move(serviceId)) {}

  std::string getTypeName() const override { return "PelkInterface"; }
  virtual std::string getKind() const { return kind_; }
  virtual void setKind(std::string kind) { kind_ = std::move(kind); }
  virtual std::string getName() const { return name_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  virtual std::string getServiceId() const { return serviceId_; }
  virtual void setServiceId(std::string id) { serviceId_ = std::move(id); }
  virtual void addOperation(std::string operation) { operations_.push_back(std::move(operation)); }
  virtual std::vector<std::string> getOperations() const { return operations_; }
  void accept(ModelVisitor& visitor) override;

 private:
  std::string name_;
  std::string kind_;  // "provided" (input) or "required" (output)
  std::string serviceId_;
  std::vector<std::string> operations_;
};

class PelkConnection : public ModelElement {
 public:
  PelkConnection() = default;
  explicit PelkConnection(std::string id) : ModelElement(std::move(id)) {}
  PelkConnection(std::string id, PelkInterface* firstEnd, PelkInterface* secondEnd)
      : ModelElement(std::move(id)), firstEnd_(firstEnd), secondEnd_(secondEnd) {}

  std::string getTypeName() const override { return "PelkConnection"; }
  // The provided interface (input) the connection leads into.
  virtual PelkInterface* getFirstEnd() const { return firstEnd_; }
  // The required interface (output) it leaves from.
  virtual PelkInterface* getSecondEnd() const { return secondEnd_; }
  virtual void setFirstEnd(PelkInterface* end) { firstEnd_ = end; }
  virtual void setSecondEnd(PelkInterface* end) { secondEnd_ = end; }
  void accept(ModelVisitor& visitor) override;

 private:
  PelkInterface* firstEnd_ = nullptr;   // not owned
  PelkInterface* secondEnd_ = nullptr;  // not owned
};

}  // namespace lumetra
