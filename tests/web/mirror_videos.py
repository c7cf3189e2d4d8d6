#!/usr/bin/python3
"""Makes the camera mirror's test videos from real frontal photographs.

  mirror_videos.py FOLDER [NAME ...]

Writes FOLDER/PHOTO-POSE.y4m for each NAME "photo-pose" (all when none is
given): 640 x 480 at 10 frames a second, the neutral face for NEUTRAL_SECONDS,
then the pose, looping as Chromium's fake camera plays it. The poses are
local warps of the photograph: the lower lip and the jaw moved down over a dark
mouth, the mouth's corners pulled out and up or pushed in, the eyes painted
shut, the brows moved up. Also writes FOLDER/PHOTO.png, the neutral frame.
"""
import os
import subprocess
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter
from scipy import ndimage

WIDTH, HEIGHT, FPS = 640, 480, 10
NEUTRAL_SECONDS, POSE_SECONDS = 4, 6

# Each photograph: its file, the crop that becomes the 640 x 480 frame, and
# its landmarks in the crop's pixels (the person's right eye is on the
# picture's left): eye centres, brow middles, the mouth's corners and the
# line between the lips, and the chin.
PHOTOS = {
    "astronaut": {
        "file": "/usr/lib/python3/dist-packages/skimage/data/astronaut.png",
        "crop": (105, 10, 345, 190),
        "eyes": ((97, 90), (142, 92)), "brows": ((97, 77), (142, 80)),
        "mouth": ((99, 134), (139, 134)), "lips": 136, "chin": 175,
    },
    "hopper": {
        "file": "/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg",
        "crop": (110, 60, 470, 330),
        "eyes": ((112, 128), (198, 125)), "brows": ((111, 111), (201, 111)),
        "mouth": ((138, 215), (200, 215)), "lips": 216, "chin": 262,
    },
}


def moved(image, moves):
    """Each output pixel samples the input `weight * displacement` back."""
    h, w = image.shape[:2]
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    sx, sy = xs.copy(), ys.copy()
    for weight, (dx, dy) in moves:
        wgt = weight(xs, ys)
        sx -= wgt * dx
        sy -= wgt * dy
    out = np.empty_like(image)
    for c in range(image.shape[2]):
        out[..., c] = ndimage.map_coordinates(image[..., c], [sy, sx], order=1, mode="nearest")
    return out


def gaussian(cx, cy, rx, ry):
    return lambda xs, ys: np.exp(-(((xs - cx) / rx) ** 2 + ((ys - cy) / ry) ** 2))


def painted(image, shapes, blur):
    """Ellipses and arcs drawn over the picture, their edges softened (the
    colours stay whole: only the coverage is blurred)."""
    picture = Image.fromarray(image)
    for kind, box, colour, *rest in shapes:
        mask = Image.new("L", picture.size, 0)
        draw = ImageDraw.Draw(mask)
        if kind == "ellipse":
            draw.ellipse(box, fill=255)
        else:
            draw.arc(box, *rest, fill=255, width=3)
        picture.paste(Image.new("RGB", picture.size, colour), (0, 0), mask.filter(ImageFilter.GaussianBlur(blur)))
    return np.asarray(picture)


def posed(image, p, pose):
    (rx, ry), (lx, ly) = p["eyes"]
    eyes = np.hypot(lx - rx, ly - ry)
    (mrx, mry), (mlx, mly) = p["mouth"]
    mx, width, lips = (mrx + mlx) / 2, mlx - mrx, p["lips"]
    if pose == "neutral":
        return image
    if pose == "open":
        drop = 0.45 * eyes
        # Below the lips everything moves down, less and less past the chin.
        def jaw(xs, ys):
            across = np.exp(-((xs - mx) / (0.9 * width)) ** 2)
            down = np.clip((ys - lips) / 2, 0, 1) * np.exp(-np.clip(ys - p["chin"], 0, None) / eyes)
            return across * down
        image = moved(image, [(jaw, (0, drop))])
        return painted(image, [("ellipse", (mx - 0.38 * width, lips - 2, mx + 0.38 * width, lips + drop),
                                (45, 12, 16))], 1.2)
    if pose == "smile":
        return moved(image, [(gaussian(mrx, mry, 0.3 * width, 0.25 * width), (-0.22 * width, -0.06 * eyes)),
                             (gaussian(mlx, mly, 0.3 * width, 0.25 * width), (0.22 * width, -0.06 * eyes))])
    if pose == "pout":
        return moved(image, [(gaussian(mrx, mry, 0.35 * width, 0.3 * width), (0.2 * width, 0)),
                             (gaussian(mlx, mly, 0.35 * width, 0.3 * width), (-0.2 * width, 0))])
    if pose == "shut":
        # Each upper lid slides down to the lower one, its lashes with it.
        def lid(x, y):
            def weight(xs, ys):
                across = np.exp(-((xs - x) / (0.32 * eyes)) ** 2)
                above = np.exp(-np.clip(y + 0.12 * eyes - ys, 0, None) / (0.25 * eyes))
                return across * above * (ys <= y + 0.12 * eyes)
            return weight
        return moved(image, [(lid(x, y), (0, 0.25 * eyes)) for x, y in p["eyes"]])
    if pose == "brows":
        return moved(image, [(gaussian(x, y, 0.35 * eyes, 0.18 * eyes), (0, -0.13 * eyes)) for x, y in p["brows"]])
    raise SystemExit(f"unknown pose: {pose}")


def frame(photo):
    p = PHOTOS[photo]
    picture = Image.open(p["file"]).convert("RGB").crop(p["crop"])
    return np.asarray(picture), p


def write_video(path, neutral, pose):
    command = ["ffmpeg", "-loglevel", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24",
               "-s", f"{WIDTH}x{HEIGHT}", "-r", str(FPS), "-i", "-", "-pix_fmt", "yuv420p", path]
    video = subprocess.Popen(command, stdin=subprocess.PIPE)
    for picture, seconds in ((neutral, NEUTRAL_SECONDS), (pose, POSE_SECONDS)):
        data = np.asarray(Image.fromarray(picture).resize((WIDTH, HEIGHT), Image.LANCZOS)).tobytes()
        for _ in range(seconds * FPS):
            video.stdin.write(data)
    video.stdin.close()
    if video.wait() != 0:
        raise SystemExit(f"ffmpeg could not write {path}")


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    folder = sys.argv[1]
    names = sys.argv[2:] or [f"{photo}-{pose}" for photo in PHOTOS
                             for pose in ("neutral", "open", "smile", "pout", "shut", "brows")]
    os.makedirs(folder, exist_ok=True)
    for name in names:
        photo, pose = name.split("-")
        image, p = frame(photo)
        Image.fromarray(image).resize((WIDTH, HEIGHT)).save(os.path.join(folder, f"{photo}.png"))
        write_video(os.path.join(folder, f"{name}.y4m"), image, posed(image, p, pose))


if __name__ == "__main__":
    main()
