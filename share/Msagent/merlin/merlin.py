"""Merlin, the program's default character: a wizard in a starry robe and a pointed hat,
drawn from flat shapes. make_character.py turns this into ../CHARS/Merlin.ACS.

Every frame is one pose: where the hands are, where the eyes look, the mouth, and for the
moves and the appearance a lean or a size. The animations are sequences of these frames;
the names the program plays that have no animation here play the rest pose.
"""

import math

NAME = "Merlin"
SOURCE = "merlin.py"
WIDTH = 128
HEIGHT = 128
BALLOON = (64, 4)  # the tip of the hat

ROBE = (58, 74, 166, 255)
ROBE_LIGHT = (78, 96, 190, 255)
HAT = (44, 47, 122, 255)
GOLD = (240, 196, 60, 255)
SKIN = (242, 201, 160, 255)
SKIN_DARK = (214, 160, 120, 255)
BEARD = (238, 238, 244, 255)
BEARD_SHADE = (200, 202, 214, 255)
EYE_WHITE = (255, 255, 255, 255)
DARK = (40, 32, 40, 255)
MOUTH = (140, 50, 60, 255)

SHOULDER_LEFT = (50, 66)
SHOULDER_RIGHT = (78, 66)
REST_LEFT = (54, 94)
REST_RIGHT = (74, 94)


def star(cx, cy, r, colour=GOLD):
    """A four-pointed star."""
    points = []
    for k in range(8):
        radius = r if k % 2 == 0 else r * 0.38
        angle = math.pi / 4 * k - math.pi / 2
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return ("poly", colour, points)


def arm(shoulder, hand, pointing=False):
    shapes = [("line", ROBE_LIGHT, shoulder[0], shoulder[1], hand[0], hand[1], 9)]
    if pointing:
        dx, dy = hand[0] - shoulder[0], hand[1] - shoulder[1]
        length = math.hypot(dx, dy)
        tip = (hand[0] + dx / length * 7, hand[1] + dy / length * 7)
        shapes.append(("line", SKIN, hand[0], hand[1], tip[0], tip[1], 2.6))
    shapes.append(("ellipse", SKIN, hand[0], hand[1], 4.6, 4.6))
    return shapes


def pose(left=REST_LEFT, right=REST_RIGHT, look=(0, 0), mouth="closed", blink=False,
         point=None, smile=False, right_in_front=False):
    shapes = [
        # The robe, its hem and its stars.
        ("poly", ROBE, [(48, 62), (80, 62), (99, 124), (29, 124)]),
        ("poly", HAT, [(31, 118), (97, 118), (99, 124), (29, 124)]),
        star(50, 104, 5), star(78, 90, 4), star(70, 112, 3.5), star(57, 82, 3),
    ]
    shapes += arm(SHOULDER_LEFT, left, pointing=point == "left")
    shapes += arm(SHOULDER_RIGHT, right, pointing=point == "right")
    shapes += [
        # Head, beard and moustache.
        ("ellipse", SKIN, 64, 49, 12, 13),
        ("ellipse", BEARD, 64, 58, 12.5, 8),
        ("poly", BEARD, [(52, 58), (76, 58), (73, 76), (64, 93), (55, 76)]),
        ("line", BEARD_SHADE, 64, 66, 64, 86, 1.4),
        ("ellipse", BEARD_SHADE, 60, 56.5, 4.5, 2.4),
        ("ellipse", BEARD_SHADE, 68, 56.5, 4.5, 2.4),
        ("ellipse", SKIN_DARK, 64, 52, 2.6, 2.6),
    ]
    if mouth == "closed":
        shapes.append(("line", MOUTH, 61, 61, 67, 61, 1.4) if not smile else
                      ("poly", MOUTH, [(60, 60), (68, 60), (66.5, 63), (61.5, 63)]))
    elif mouth == "half":
        shapes.append(("ellipse", MOUTH, 64, 61.5, 3.2, 2.2))
    else:
        shapes.append(("ellipse", MOUTH, 64, 62, 4, 3.6))
    # Eyes and brows.
    for x in (59, 69):
        if blink:
            shapes.append(("line", DARK, x - 3, 46, x + 3, 46, 1.2))
        else:
            shapes.append(("ellipse", EYE_WHITE, x, 46, 3, 2.7))
            shapes.append(("ellipse", DARK, x + look[0], 46 + look[1], 1.5, 1.8))
        shapes.append(("line", BEARD, x - 3.5, 41.5, x + 3, 41, 1.8))
    # The hat, its brim and its star.
    shapes += [
        ("poly", HAT, [(71, 1), (88, 40), (40, 40), (62, 12)]),
        ("ellipse", HAT, 64, 40, 27, 5),
        ("line", GOLD, 42, 38.5, 86, 38.5, 2),
        star(64, 27, 5.5),
    ]
    # A hand raised across the figure, or held to the chin, is drawn over it.
    if right_in_front:
        shapes += arm(SHOULDER_RIGHT, right, pointing=point == "right")
    return shapes


def transform(shapes, f, scale=1.0):
    """The shapes with every point moved by f; sizes multiplied by `scale`."""
    out = []
    for kind, colour, *args in shapes:
        if kind == "poly":
            out.append((kind, colour, [f(x, y) for x, y in args[0]]))
        elif kind == "ellipse":
            cx, cy = f(args[0], args[1])
            out.append((kind, colour, cx, cy, args[2] * scale, args[3] * scale))
        else:
            (x1, y1), (x2, y2) = f(args[0], args[1]), f(args[2], args[3])
            out.append((kind, colour, x1, y1, x2, y2, args[4] * scale))
    return out


def lean(shapes, slope, rise):
    """Leaning sideways from the feet (slope pixels per pixel of height), lifted by rise."""
    return transform(shapes, lambda x, y: (x + slope * (124 - y), y - rise))


def grown(shapes, s):
    """At `s` times the size, standing on the same ground, with sparkles about."""
    out = transform(shapes, lambda x, y: (64 + (x - 64) * s, 124 - (124 - y) * s), s)
    for k in range(6):
        angle = math.pi / 3 * k + s * 2
        out.append(star(64 + math.cos(angle) * 46 * (1.2 - s), 80 + math.sin(angle) * 36 * (1.2 - s),
                        3 + 3 * (1 - s)))
    return out


REST = pose()
FRAMES = [
    ("rest", REST),
    ("blink", pose(blink=True)),
    ("look_left", pose(look=(-1.6, 0))),
    ("look_right", pose(look=(1.6, 0))),
    ("talk1", pose(mouth="half")),
    ("talk2", pose(mouth="open")),
    ("wave1", pose(right=(98, 40), mouth="half", smile=True)),
    ("wave2", pose(right=(106, 32), smile=True)),
    ("explain", pose(left=(26, 82), right=(102, 82), look=(0, 0.5))),
    ("think", pose(right=(67, 66), look=(1.2, -1.6), right_in_front=True)),
    ("gesture_left", pose(left=(18, 62), look=(-1.6, 0), point="left")),
    ("gesture_right", pose(right=(110, 62), look=(1.6, 0), point="right")),
    ("gesture_up", pose(right=(94, 20), look=(0.8, -1.5), point="right", right_in_front=True)),
    ("gesture_down", pose(right=(104, 112), look=(1, 1.5), point="right")),
    ("move_left1", lean(pose(left=(36, 84), right=(66, 90), look=(-1.6, 0)), 0.08, 0)),
    ("move_left2", lean(pose(left=(36, 82), right=(66, 88), look=(-1.6, 0)), 0.08, 2)),
    ("move_right1", lean(pose(left=(62, 90), right=(92, 84), look=(1.6, 0)), -0.08, 0)),
    ("move_right2", lean(pose(left=(62, 88), right=(92, 82), look=(1.6, 0)), -0.08, 2)),
    ("move_up1", lean(pose(left=(38, 46), right=(90, 46), look=(0, -1.6)), 0, 2)),
    ("move_up2", lean(pose(left=(36, 42), right=(92, 42), look=(0, -1.6)), 0, 4)),
    ("move_down1", lean(pose(left=(34, 98), right=(94, 98), look=(0, 1.5)), 0, 0)),
    ("move_down2", lean(pose(left=(32, 102), right=(96, 102), look=(0, 1.5)), 0, 1)),
    ("appear1", grown(REST, 0.15)),
    ("appear2", grown(REST, 0.4)),
    ("appear3", grown(REST, 0.7)),
    ("appear4", grown(REST, 0.9)),
]

ANIMATIONS = [
    ("Rest", [("rest", 1000)]),
    ("Show", [("appear1", 80), ("appear2", 80), ("appear3", 80), ("appear4", 80), ("rest", 80)]),
    ("Hide", [("appear4", 80), ("appear3", 80), ("appear2", 80), ("appear1", 80)]),
    ("Greet", [("wave1", 160), ("wave2", 160), ("wave1", 160), ("wave2", 160), ("rest", 100)]),
    ("Explain", [("explain", 1200), ("rest", 100)]),
    ("Think", [("think", 1500), ("rest", 100)]),
    ("Idle", [("rest", 1500), ("blink", 120), ("rest", 900), ("look_left", 700), ("rest", 300),
              ("look_right", 700), ("rest", 300), ("blink", 120), ("rest", 600)]),
    ("Blink", [("blink", 120), ("rest", 200)]),
    ("GestureLeft", [("gesture_left", 1000), ("rest", 100)]),
    ("GestureRight", [("gesture_right", 1000), ("rest", 100)]),
    ("GestureUp", [("gesture_up", 1000), ("rest", 100)]),
    ("GestureDown", [("gesture_down", 1000), ("rest", 100)]),
    ("MoveLeft", [("move_left1", 150), ("move_left2", 150)]),
    ("MoveRight", [("move_right1", 150), ("move_right2", 150)]),
    ("MoveUp", [("move_up1", 150), ("move_up2", 150)]),
    ("MoveDown", [("move_down1", 150), ("move_down2", 150)]),
    ("LookLeft", [("look_left", 900), ("rest", 100)]),
    ("LookRight", [("look_right", 900), ("rest", 100)]),
]

SPEAKING = [("talk1", 110), ("talk2", 110), ("talk1", 110), ("rest", 90)]

# The animation list's names that have an animation of their own here; every other name
# plays the fallback.
NAMES = [
    ("Announce", "Explain"),
    ("Blink", "Blink"),
    ("Confused", "Think"),
    ("Congratulate", "Greet"),
    ("Congratulate_2", "Greet"),
    ("DontRecognize", "Think"),
    ("Explain", "Explain"),
    ("GestureDown", "GestureDown"),
    ("GestureLeft", "GestureLeft"),
    ("GestureRight", "GestureRight"),
    ("GestureUp", "GestureUp"),
    ("GetAttention", "Greet"),
    ("GetAttentionContinued", "Greet"),
    ("Greet", "Greet"),
    ("Hide", "Hide"),
    ("Idle1_1", "Idle"),
    ("Idle1_2", "Idle"),
    ("Idle1_3", "Idle"),
    ("Idle1_4", "Idle"),
    ("Idle1_5", "Idle"),
    ("Idle1_6", "Idle"),
    ("Idle2_1", "Idle"),
    ("Idle2_2", "Idle"),
    ("Idle2_3", "Idle"),
    ("Idle3_1", "Idle"),
    ("Idle3_2", "Idle"),
    ("LookLeft", "LookLeft"),
    ("LookRight", "LookRight"),
    ("MoveDown", "MoveDown"),
    ("MoveLeft", "MoveLeft"),
    ("MoveRight", "MoveRight"),
    ("MoveUp", "MoveUp"),
    ("RestPose", "Rest"),
    ("Show", "Show"),
    ("Suggest", "Explain"),
    ("Think", "Think"),
    ("Thinking", "Think"),
    ("Uncertain", "Think"),
]
FALLBACK = "Rest"
