	.bend
