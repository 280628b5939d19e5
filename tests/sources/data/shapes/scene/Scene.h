#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "geo/Circle.h"
#include "geo/Registry.h"
#include "scene/detail/Cache.h"

namespace scene {

class Camera {
 public:
  double zoom = 1.0;
};

class Layer {
 public:
  void add(geo::Circle* circle);
  std::string title;
  std::vector<geo::Shape*> shapes;
};

class Scene {
 public:
  double totalArea() const;
  Layer* layer(const std::string& title) const;
  void attach(const Camera& camera);

 protected:
  std::vector<std::unique_ptr<Layer>> layers_;
  std::shared_ptr<Camera> camera_;
  geo::Point origin_;
  std::map<std::string, Layer*> byTitle_;
  geo::Registry<geo::Circle> circles_;
  detail::Cache cache_;
};

}  // namespace scene
