#!/usr/bin/env bash
# Checks a vertex/fragment pair against what the demo asks of its shader
# files, using glslangValidator's compiler, linker and reflection:
#   - each file starts with "#version 330 core" and compiles as that stage;
#   - the two stages link;
#   - timeValue (float) and windowSize (vec2) are active uniforms, so the
#     picture really depends on the time and on the screen size;
#   - the vertex stage has one input, a vec3 declared at location 0;
#   - the fragment stage has one output, a vec4.
# Prints "FAIL: reason" and exits 1 on the first broken rule.
#
# usage: check-shader-contract.sh GLSLANG_VALIDATOR VERTEX FRAGMENT
source "$(dirname "$0")/check-common.sh"

validator=$1
vertex=$2
fragment=$3

# Preprocessing drops comments, so the first line is the version directive
# wherever the file put its comments.
for stage in vert frag; do
    [[ $stage == vert ]] && file=$vertex || file=$fragment
    if ! "$validator" -S "$stage" "$file" > "$work/$stage.log" 2>&1; then
        cat "$work/$stage.log"
        fail "$file does not compile as a $stage stage"
    fi
    "$validator" -E -S "$stage" "$file" > "$work/$stage.pre" 2>&1 ||
        fail "$file does not preprocess"
    version=$(grep -m1 -E '^[[:space:]]*#[[:space:]]*version' "$work/$stage.pre" | tr -s '[:space:]' ' ')
    [[ $version =~ ^\ ?#\ ?version\ 330\ core\ ?$ ]] ||
        fail "$file declares '$version', not '#version 330 core'"
done

# Linking needs the stage in the file name.
cp "$vertex" "$work/piece.vert"
cp "$fragment" "$work/piece.frag"
if ! "$validator" -l -q "$work/piece.vert" "$work/piece.frag" > "$work/reflection" 2>&1; then
    cat "$work/reflection"
    fail "the two stages do not link"
fi

# "name: offset -1, type 8b50, ..." under each heading becomes
# "uniform windowSize 8b50"; the GL type codes are 1406 float, 8b50 vec2,
# 8b51 vec3, 8b52 vec4.
awk '
    /^Uniform reflection:/         { kind = "uniform"; next }
    /^Pipeline input reflection:/  { kind = "input"; next }
    /^Pipeline output reflection:/ { kind = "output"; next }
    /reflection:$/                 { kind = ""; next }
    kind != "" && NF > 0 {
        name = $1; sub(/:$/, "", name)
        for (i = 1; i < NF; i++) if ($i == "type") { type = $(i + 1); sub(/,$/, "", type) }
        print kind, name, type
    }' "$work/reflection" > "$work/interface"

grep -qx 'uniform timeValue 1406' "$work/interface" ||
    fail "timeValue is not an active float uniform"
grep -qx 'uniform windowSize 8b50' "$work/interface" ||
    fail "windowSize is not an active vec2 uniform"

mapfile -t inputs < <(grep '^input ' "$work/interface")
((${#inputs[@]} == 1)) || fail "the vertex stage has ${#inputs[@]} active inputs, not one"
read -r _ position type <<< "${inputs[0]}"
[[ $type == 8b51 ]] || fail "the vertex input $position is not a vec3"
# Reflection has no locations: look for the declaration in the preprocessed
# source, with the whitespace squeezed out.
tr -d '[:space:]' < "$work/vert.pre" | grep -q "layout(location=0)invec3${position};" ||
    fail "the vertex input $position is not declared with layout(location = 0)"

mapfile -t outputs < <(grep '^output ' "$work/interface")
((${#outputs[@]} == 1)) || fail "the fragment stage has ${#outputs[@]} outputs, not one"
read -r _ colour type <<< "${outputs[0]}"
[[ $type == 8b52 ]] || fail "the fragment output $colour is not a vec4"

echo "PASS: $vertex and $fragment meet the shader contract"
