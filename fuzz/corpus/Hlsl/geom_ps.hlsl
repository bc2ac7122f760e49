//gPixelShaderGeomText
struct PS_INPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
};

float4 pixel_shader(PS_INPUT input) : COLOR0
{
    return input.color;
}
