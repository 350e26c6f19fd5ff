#include "DemoRectangle.h"

#include "DemoContract.h"

DemoRectangle::DemoRectangle() {
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &vertices_);
    glBindBuffer(GL_ARRAY_BUFFER, vertices_);
    glBufferData(GL_ARRAY_BUFFER, sizeof demo::rectangleVertices, demo::rectangleVertices,
                 GL_STATIC_DRAW);
    glGenBuffers(1, &indices_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof demo::rectangleIndices, demo::rectangleIndices,
                 GL_STATIC_DRAW);
    glVertexAttribPointer(demo::positionAttribute, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float),
                          nullptr);
    glEnableVertexAttribArray(demo::positionAttribute);
}

DemoRectangle::~DemoRectangle() {
    glDeleteBuffers(1, &indices_);
    glDeleteBuffers(1, &vertices_);
    glDeleteVertexArrays(1, &vertexArray_);
}

void DemoRectangle::draw() const {
    glBindVertexArray(vertexArray_);
    glDrawElements(GL_TRIANGLES, demo::rectangleIndexCount, GL_UNSIGNED_INT, nullptr);
}
