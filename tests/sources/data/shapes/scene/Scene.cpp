#include "scene/Scene.h"

namespace scene {

void Layer::add(geo::Circle* circle) { shapes.push_back(circle); }

double Scene::totalArea() const {
  double total = 0;
  for (const auto& layer : layers_)
    for (geo::Shape* shape : layer->shapes)
      if (shape != nullptr && shape->area() > 0) total += shape->area();
  return total;
}

Layer* Scene::layer(const std::string& title) const {
  auto it = byTitle_.find(title);
  return it == byTitle_.end() ? nullptr : it->second;
}

void Scene::attach(const Camera& camera) { camera_ = std::make_shared<Camera>(camera); }

}  // namespace scene
